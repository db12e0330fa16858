// The commands that open an image as a channel list: dump, save, export and edit.
//
// Each registers itself from its own file; the flags below are set by those
// registrations. A program that links the tool's library without keeping every object
// file (the tests) refers to them through PageCommandsLinked() so that the commands are
// linked in.
#pragma once

namespace rivo::tool {

extern const bool kDumpCommandRegistered;
extern const bool kSaveCommandRegistered;
extern const bool kExportCommandRegistered;
extern const bool kEditCommandRegistered;

inline bool PageCommandsLinked() {
    return kDumpCommandRegistered && kSaveCommandRegistered && kExportCommandRegistered && kEditCommandRegistered;
}

}  // namespace rivo::tool

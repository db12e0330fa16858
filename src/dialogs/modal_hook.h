// Showing a dialog modally, or handing it to a hook instead: window tests set the hook
// to fill the widgets and press Ok or Annulla without a nested event loop blocking them.
#pragma once

#include <QDialog>
#include <functional>

namespace rivo::dialogs {

// Runs dialog modally when hook is empty. Otherwise shows it, lets hook act on it, and
// closes it with cancelResult if the hook left it open. Returns the modal result.
template <class Dialog>
int ExecModalOrHook(Dialog& dialog, const std::function<void(Dialog&)>& hook, int cancelResult) {
    if (!hook) return dialog.exec();
    dialog.setResult(0);
    dialog.show();
    hook(dialog);
    if (dialog.isVisible()) dialog.done(cancelResult);
    return dialog.result();
}

// The one test hook of each dialog class: empty (run modally) until a test sets it.
template <class Dialog>
std::function<void(Dialog&)>& TestHook() {
    static std::function<void(Dialog&)> hook;
    return hook;
}

// ExecModalOrHook with the dialog class's own test hook.
template <class Dialog>
int ExecModalOrTestHook(Dialog& dialog, int cancelResult) {
    return ExecModalOrHook(dialog, TestHook<Dialog>(), cancelResult);
}

}  // namespace rivo::dialogs

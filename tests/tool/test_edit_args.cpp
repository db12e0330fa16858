// The reader every edit operation takes its words through: the exact usage messages of
// each kind of argument, how many words an operation of the table uses, and the answers
// given to the editor's questions.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "tool/edit_args.h"
#include "tool/tool.h"

namespace rivo::tool {
namespace {

// The usage message a reading throws, or "" when it returns.
std::string UsageOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const ToolError& e) {
        EXPECT_EQ(e.exitCode, kExitUsage) << e.what();
        return e.what();
    }
    return "";
}

TEST(EditArgs, EachReaderNamesTheOperationTheArgumentAndTheRule) {
    // Words after "op" at positions 1..: the reading is done on a copy placed at pos 2,
    // so that the reader's offset from pos is what is tested.
    struct Case {
        std::vector<std::string> args;
        std::function<void(const EditArgs&)> read;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{}, [](const EditArgs& a) { a.word(1, "IMAGE2"); }, "op: manca IMAGE2"},
        {{"x"}, [](const EditArgs& a) { a.word(2, "LAST"); }, "op: manca LAST"},
        {{"0"},
         [](const EditArgs& a) { a.row(1, "ROW", 5); },
         "op: ROW '0' non è una riga dei canali (1..5)"},
        {{"6"},
         [](const EditArgs& a) { a.row(1, "ROW", 5, "transponder"); },
         "op: ROW '6' non è una riga dei transponder (1..5)"},
        {{"abc"},
         [](const EditArgs& a) { a.row(1, "FIRST", 5); },
         "op: FIRST 'abc' non è una riga dei canali (1..5)"},
        {{"5"}, [](const EditArgs& a) { EXPECT_EQ(a.row(1, "ROW", 5), 5); }, ""},
        {{"abc"},
         [](const EditArgs& a) { a.number(1, "LIST", 1, 8, "una lista (1..8)"); },
         "op: LIST 'abc' non è un numero"},
        {{"9"},
         [](const EditArgs& a) { a.number(1, "LIST", 1, 8, "una lista (1..8)"); },
         "op: LIST '9' non è una lista (1..8)"},
        {{"8"},
         [](const EditArgs& a) { EXPECT_EQ(a.number(1, "LIST", 1, 8, "una lista (1..8)"), 8); },
         ""},
        {{}, [](const EditArgs& a) { a.checkOrder(3, 2); }, "op: FIRST 3 viene dopo LAST 2"},
        {{}, [](const EditArgs& a) { a.checkOrder(2, 2); }, ""},
        {{}, [](const EditArgs& a) { a.choice(1, "close", "keep"); }, "op: manca close|keep"},
        {{"drop"},
         [](const EditArgs& a) { a.choice(1, "close", "keep"); },
         "op: 'drop' non è né close né keep"},
        {{"keep"}, [](const EditArgs& a) { EXPECT_FALSE(a.choice(1, "close", "keep")); }, ""},
        {{"close"}, [](const EditArgs& a) { EXPECT_TRUE(a.choice(1, "close", "keep")); }, ""},
        {{"next"}, [](const EditArgs& a) { a.fields(1); }, "op: nessun FIELD=VALUE indicato"},
        {{}, [](const EditArgs& a) { a.fields(1); }, "op: nessun FIELD=VALUE indicato"},
        {{"a=1", "b=", "=c", "next", "d=4"},
         [](const EditArgs& a) {
             using Fields = std::vector<std::pair<std::string, std::string>>;
             EXPECT_EQ(a.fields(1),
                       (Fields{{"a", "1"}, {"b", ""}, {"", "c"}}));  // up to the next operation
         },
         ""},
        {{},
         [](const EditArgs& a) { a.cellText("name", "\xE6\x97\xA5"); },
         "op: name: '\xE6\x97\xA5' contiene un carattere che Windows-1252 non può contenere"},
        {{}, [](const EditArgs& a) { EXPECT_EQ(a.cellText("name", "\xC3\x80"), "\xC0"); }, ""},
        {{"names"},
         [](const EditArgs& a) { EXPECT_TRUE(a.given(1, "names") && !a.given(2, "names")); },
         ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"before", "x", "op"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        const EditArgs args(words, 2, "op");
        EXPECT_EQ(UsageOf([&] { c.read(args); }), c.message) << c.message;
    }
}

struct Context {
    ListPage page;
    OpenParams params;
    std::ostringstream out, err;
    ToolIo io{out, err};
    EditContext context{page, params, io};
};

std::size_t TakesTwoMore(const EditArgs& args, EditContext&) {
    EXPECT_EQ(args.operation(), "test-grow");
    EXPECT_EQ(args[1], "a");
    return 2;
}

TEST(EditOperationSpec, UsesItsNameItsArityAndWhatTheHandlerTookMore) {
    Context c;
    const EditOperationSpec grow{"test-grow", 3, TakesTwoMore};
    const std::vector<std::string> words = {"other", "test-grow", "a", "b", "c", "d", "e", "next"};
    EXPECT_EQ(grow(words, 1, c.context), 6u);  // name, three arguments, two more

    ASSERT_TRUE(RegisterEditOperations({grow}));
    const EditOperation* registered = FindEditOperation("test-grow");
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ((*registered)(words, 1, c.context), 6u);
}

TEST(CommandLinePrompts, AnswersFirstThenLaterAndKeepsTheFirstRefusal) {
    CommandLinePrompts prompts(Answer::No, Answer::Yes);
    prompts.failOnRefusal();  // nothing refused yet: returns
    EXPECT_EQ(prompts.ask("q1", "t", Icon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(prompts.ask("refused", "t", Icon::Error, Buttons::Ok),
              Answer::Ok);  // a message is no question
    EXPECT_EQ(prompts.ask("q2", "t", Icon::Question, Buttons::YesNoCancel), Answer::Yes);
    EXPECT_EQ(prompts.ask("refused again", "t", Icon::Error, Buttons::Ok), Answer::Ok);
    try {
        prompts.failOnRefusal();
        ADD_FAILURE() << "a refusal was kept";
    } catch (const ToolError& e) {
        EXPECT_EQ(e.exitCode, kExitFailure);
        EXPECT_STREQ(e.what(), "refused");
    }

    CommandLinePrompts same(Answer::No, Answer::No);
    EXPECT_EQ(same.ask("q1", "t", Icon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(same.ask("q2", "t", Icon::Question, Buttons::YesNo), Answer::No);
}

}  // namespace
}  // namespace rivo::tool

// The stand-in toolkit's UI script language and parts: what a good script
// builds and how its frames, buttons and items call script functions; the
// file, line and expectation a bad script is reported with; and handles
// that stay safe after copies are freed.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"

namespace {

struct Call {
  std::string function;
  UikPart *caller;
  void *context;
  std::vector<std::string> arguments;
};

std::vector<Call> &calls() {
  static std::vector<Call> log;
  return log;
}

void logCall(const char *function, UikPart *caller, void *context, int32_t count,
             char **arguments) {
  Call call{function, caller, context, {}};
  for (int32_t i = 0; i < count; ++i) call.arguments.push_back(arguments[i]);
  calls().push_back(call);
}

HstrStringList *record(UikPart *caller, void *context, int32_t count, char **arguments,
                       ErrorReport *) {
  logCall("record", caller, context, count, arguments);
  return nullptr;
}

// A getter with two entries, so fields can pick either.
HstrStringList *getPair(UikPart *caller, void *context, int32_t count, char **arguments,
                        ErrorReport *error) {
  logCall("getpair", caller, context, count, arguments);
  HstrStringList *list = hstr_StringListCreate(2, error);
  list->strings[0] = hstr_Duplicate("first");
  list->strings[1] = hstr_Duplicate("second");
  return list;
}

// Frees the frame it is given as context, as a script function may.
HstrStringList *dropFrame(UikPart *, void *context, int32_t, char **, ErrorReport *error) {
  uik_PartFree(static_cast<UikPart *>(context), error);
  return nullptr;
}

// Fails through a host operation, leaving an error for the toolkit to show.
HstrStringList *failing(UikPart *, void *, int32_t, char **, ErrorReport *error) {
  return hstr_DoubleToStringList(1, nullptr, error);
}

const ScriptFunctionEntry kRecordTable[] = {
    {"record", record}, {"dropframe", dropFrame}, {"failing", failing}, {nullptr, nullptr}};
const ScriptFunctionEntry kGetterTable[] = {{"getpair", getPair}, {nullptr, nullptr}};

const char kGoodScript[] = R"(# A frame, a menu and a popup.

frame props "Properties"
  field a "Field A" from getpair [1]   # the second entry
  field b "Field B" from getpair
  field c "Field C"
  button ok "OK" calls record (b, a, c)
  button cancel "Cancel" calls record
  button drop "Drop" calls dropframe ()
end

# Its first getter frees it.
frame vanishing "Vanishing"
  field gone "Gone" from dropframe
  field after "After" from getpair
end

menu m "Menu"
  item "New..." calls record ("Name", "Size")
  item "Plain \"quoted\"" calls record
end

popup p "Popup"
  item "Go" calls failing
end
)";

class UiScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    viewerhost::setResourceSearchPath({dir.path().string()});
    viewerhost::clearErrorLog();
    viewerhost::resetPartCounts();
    calls().clear();
  }
  void TearDown() override { viewerhost::setResourceSearchPath({}); }

  // Parses `text` saved as `name` with both test tables.
  UikScript *parse(const std::string &text, ErrorReport *error,
                   const std::string &name = "test.uis") {
    dir.write(name, text);
    return uik_ParseVa(nullptr, name.c_str(), uik_GetTheRoot()->rootPart, error, 1, kRecordTable, 1,
                       kGetterTable, 0);
  }

  std::string message(ErrorReport *error) {
    viewerhost::clearErrorLog();
    hvis_ProcessErrorReport(error);
    auto log = viewerhost::errorLog();
    return log.empty() ? std::string() : log.back();
  }

  TempDir dir;
};

TEST_F(UiScriptTest, GoodScriptFillsFieldsAndCallsFunctionsWithFieldTextsAndAnswers) {
  ErrorReport error = nullptr;
  UikScript *script = parse(kGoodScript, &error);
  ASSERT_NE(script, nullptr) << message(&error);

  UikPart *frame = uik_PartDup(uik_PartFind(script, "props", &error), &error);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(viewerhost::frameTitle(frame), "Properties");
  const auto buttons = viewerhost::frameButtons(frame);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[1].name, "cancel");
  EXPECT_EQ(buttons[1].label, "Cancel");

  int context = 0;
  uik_FrameContextSet(frame, &context, &error);
  uik_FrameDisplay(frame, &error);
  EXPECT_EQ(error, nullptr);
  // One getter call serves both of its fields, with the frame and its context.
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].function, "getpair");
  EXPECT_EQ(calls()[0].caller, frame);
  EXPECT_EQ(calls()[0].context, &context);
  const auto fields = viewerhost::frameFields(frame);
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0].label, "Field A");
  EXPECT_EQ(fields[0].text, "second");
  EXPECT_EQ(fields[1].text, "first");
  EXPECT_EQ(fields[2].text, "");

  ASSERT_TRUE(viewerhost::typeIntoField(frame, "c", "typed"));
  ASSERT_TRUE(viewerhost::pressButton(frame, "ok"));
  ASSERT_EQ(calls().size(), 2u);
  EXPECT_EQ(calls()[1].context, &context);
  EXPECT_EQ(calls()[1].arguments, (std::vector<std::string>{"first", "second", "typed"}));
  ASSERT_TRUE(viewerhost::pressButton(frame, "cancel"));
  EXPECT_TRUE(calls()[2].arguments.empty());
  EXPECT_FALSE(viewerhost::pressButton(frame, "nosuch"));
  EXPECT_FALSE(viewerhost::typeIntoField(frame, "nosuch", "x"));

  UikPart *menu = uik_FindMenu(script, "m", &error);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(viewerhost::itemLabels(menu), (std::vector<std::string>{"New...", "Plain \"quoted\""}));
  int menuContext = 0;
  EXPECT_TRUE(viewerhost::chooseItem(menu, "New...", &menuContext, {"valley.fog", "3"}));
  EXPECT_EQ(calls().back().context, &menuContext);
  EXPECT_EQ(calls().back().arguments, (std::vector<std::string>{"valley.fog", "3"}));
  const size_t before = calls().size();
  EXPECT_FALSE(viewerhost::chooseItem(menu, "New...", &menuContext, {"only one"}));
  EXPECT_FALSE(viewerhost::chooseItem(menu, "Missing", &menuContext));
  EXPECT_EQ(calls().size(), before);

  // A popup is found as a part, not as a menu; an error its function
  // leaves is shown to the user.
  EXPECT_EQ(uik_FindMenu(script, "p", &error), nullptr);
  EXPECT_NE(error, nullptr);
  viewerhost::clearErrorLog();
  hvis_ProcessErrorReport(&error);
  UikPart *popup = uik_PartFind(script, "p", &error);
  ASSERT_NE(popup, nullptr);
  viewerhost::clearErrorLog();
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Go", nullptr));
  EXPECT_EQ(viewerhost::errorLog().size(), 1u);

  uik_PartFree(frame, &error);
  EXPECT_EQ(error, nullptr);
}

TEST_F(UiScriptTest, SyntaxErrorsNameTheFileTheLineAndWhatWasExpected) {
  struct Case {
    std::string text;
    const char *report; // after "<path>:"
  };
  const Case cases[] = {
      {"frame f \"F\"\n  field x \"X\"\n",
       "2: expected \"field\", \"button\" or \"end\", found the end of the file"},
      {"# comment\n\nwidget w \"W\"\n",
       "3: expected \"frame\", \"menu\" or \"popup\", found widget"},
      {"frame f \"F\" @\nend\n", "1: expected \"field\", \"button\" or \"end\", found '@'"},
      {"frame f \"F\nend\n",
       "1: expected the title of the frame in quotes, found a string without its closing quote"},
      {"menu m \"M\"\n  item Open calls record\nend\n",
       "2: expected the item's label in quotes, found Open"},
      {"menu m \"M\"\n  item \"A\" record\nend\n", "2: expected \"calls\", found record"},
      {"frame f \"F\"\n  field x \"X\" from nosuch\nend\n",
       "2: expected the name of a registered script function, found \"nosuch\""},
      {"popup p \"P\"\n\n  item \"A\" calls unknown\nend\n",
       "3: expected the name of a registered script function, found \"unknown\""},
      {"frame f \"F\"\n  button b \"B\" calls record (x)\n  field y \"Y\"\nend\n",
       "2: expected the name of a field of frame \"f\", found \"x\""},
      {"frame f \"F\"\nend\nmenu f \"M\"\nend\n",
       "3: expected a part name not used before (line 1), found \"f\""},
      {"frame f \"F\"\n  field x \"X\"\n  button x \"B\" calls record\nend\n",
       "3: expected a name not used before in frame \"f\" (line 2), found \"x\""},
      {"menu m \"M\"\n  item \"A\" calls record\n  item \"A\" calls record\nend\n",
       "3: expected a label not used before in \"m\" (line 2), found \"A\""},
      {"frame f \"F\"\n  field x \"X\" from getpair [99999999999]\nend\n",
       "2: expected an index from 0 to 2147483647, found 99999999999"},
      {"frame f \"F\"\n  field x \"X\" from getpair [1\nend\n", "3: expected ']', found end"},
      {"popup p \"P\"\n  item \"A\" calls record (\"q\" \"r\")\nend\n",
       "2: expected ',' or ')', found \"r\""},
      {"frame f \"F\"\n  button b \"B\" calls record (\"x\")\nend\n",
       "2: expected the name of a field, found \"x\""},
      {std::string("frame f \"F\"\n\x01\nend\n"),
       "2: expected \"field\", \"button\" or \"end\", found the byte 0x01"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    ErrorReport error = nullptr;
    EXPECT_EQ(parse(c.text, &error, "bad.uis"), nullptr);
    EXPECT_EQ(message(&error), dir.file("bad.uis") + ":" + c.report);
    EXPECT_EQ(error, nullptr);
  }
}

TEST_F(UiScriptTest, FunctionTablesAndFilesTheParseCannotUse) {
  dir.write("ok.uis", "frame f \"F\"\n  button b \"B\" calls record\nend\n");
  const ScriptFunctionEntry missingFunction[] = {{"record", nullptr}, {nullptr, nullptr}};
  struct Case {
    const char *what;
    UikScript *(*parse)(ErrorReport *);
    std::string report;
  };
  const Case cases[] = {
      {"no table registers the function",
       [](ErrorReport *e) {
         return uik_ParseVa(nullptr, "ok.uis", nullptr, e, 1, kGetterTable, 0);
       },
       dir.file("ok.uis") +
           ":2: expected the name of a registered script function, found \"record\""},
      {"an argument kind the toolkit does not know",
       [](ErrorReport *e) {
         return uik_ParseVa(nullptr, "ok.uis", nullptr, e, 7, kRecordTable, 0);
       },
       "uik_ParseVa: expected argument kind 1 or the closing 0, found 7"},
      {"a null table",
       [](ErrorReport *e) {
         return uik_ParseVa(nullptr, "ok.uis", nullptr, e, 1,
                            static_cast<const ScriptFunctionEntry *>(nullptr), 0);
       },
       "uik_ParseVa: expected a script function table, found null"},
      {"a script that is nowhere on the path",
       [](ErrorReport *e) {
         return uik_ParseVa(nullptr, "absent.uis", nullptr, e, 1, kRecordTable, 0);
       },
       "absent.uis: not found on the resource search path"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    ErrorReport error = nullptr;
    EXPECT_EQ(c.parse(&error), nullptr);
    EXPECT_EQ(message(&error), c.report);
  }
  ErrorReport error = nullptr;
  EXPECT_EQ(uik_ParseVa(nullptr, "ok.uis", nullptr, &error, 1, missingFunction, 0), nullptr);
  EXPECT_EQ(message(&error),
            "uik_ParseVa: expected a function for the script function \"record\", found null");
}

TEST_F(UiScriptTest, SearchPathTakesTheFirstDirectoryHoldingAFile) {
  TempDir second;
  ASSERT_TRUE(second.ok());
  // A directory of the script's name in the first place is passed over.
  std::filesystem::create_directory(dir.file("menu.uis"));
  second.write("menu.uis", "menu m \"M\"\nend\n");
  viewerhost::setResourceSearchPath({dir.path().string(), second.path().string()});
  EXPECT_EQ(viewerhost::findResource("menu.uis"), second.file("menu.uis"));
  EXPECT_EQ(viewerhost::findResource("absent.uis"), "");
  // A name with a directory is taken as it stands.
  EXPECT_EQ(viewerhost::findResource(second.file("menu.uis")), second.file("menu.uis"));

  ErrorReport error = nullptr;
  EXPECT_NE(uik_ParseVa(nullptr, "menu.uis", nullptr, &error, 1, kRecordTable, 0), nullptr);
  EXPECT_EQ(error, nullptr);
}

TEST_F(UiScriptTest, CopiesBelongToTheCallerAndStaleHandlesAreRefused) {
  ErrorReport error = nullptr;
  UikScript *script = parse(kGoodScript, &error);
  ASSERT_NE(script, nullptr);
  const int copiesBefore = viewerhost::liveCopies();

  UikPart *original = uik_PartFind(script, "props", &error);
  UikPart *copy = uik_PartDup(original, &error);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, original);
  EXPECT_EQ(viewerhost::liveCopies(), copiesBefore + 1);

  // The script's own part is not the caller's to free.
  uik_PartFree(original, &error);
  EXPECT_NE(error, nullptr);
  hvis_ProcessErrorReport(&error);
  EXPECT_EQ(uik_PartFind(script, "props", &error), original);

  uik_FrameContextSet(copy, copy, &error);
  uik_FrameDisplay(copy, &error);
  EXPECT_EQ(viewerhost::findDisplayedFrame("props", copy), copy);
  EXPECT_EQ(viewerhost::findDisplayedFrame("props", &error), nullptr);

  // A button whose function frees its own frame: the press ends cleanly and
  // the frame is gone.
  EXPECT_TRUE(viewerhost::pressButton(copy, "drop"));
  EXPECT_EQ(viewerhost::liveCopies(), copiesBefore);
  EXPECT_EQ(viewerhost::findDisplayedFrame("props"), nullptr);
  for (auto operation : {uik_FrameDisplay, uik_FrameRemove, uik_PartFree}) {
    ErrorReport stale = nullptr;
    operation(copy, &stale);
    EXPECT_NE(stale, nullptr);
    hvis_ProcessErrorReport(&stale);
  }
  EXPECT_FALSE(viewerhost::typeIntoField(copy, "a", "x"));
  EXPECT_EQ(uik_PartDup(copy, &error), nullptr);
  hvis_ProcessErrorReport(&error);

  // A frame freed by one of its own getters while it is being displayed:
  // the display stops there.
  UikPart *vanishing = uik_PartDup(uik_PartFind(script, "vanishing", &error), &error);
  uik_FrameContextSet(vanishing, vanishing, &error);
  calls().clear();
  uik_FrameDisplay(vanishing, &error);
  EXPECT_EQ(error, nullptr);
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(viewerhost::liveCopies(), copiesBefore);

  const viewerhost::PartCounts counts = viewerhost::partCounts("props");
  EXPECT_EQ(counts.finds, 2);
  EXPECT_EQ(counts.copies, 1);
  EXPECT_EQ(counts.displays, 1);
  EXPECT_EQ(counts.frees, 1);

  // An extracted menu is the toolkit's: one per parent, and not freeable.
  UikPart *menu = uik_FindMenu(script, "m", &error);
  UikPart *parentA = uik_GetTheRoot()->rootPart;
  UikPart *parentB = original;
  UikPart *extracted = uik_MenuExtract(menu, parentA, &error);
  ASSERT_NE(extracted, nullptr);
  EXPECT_EQ(uik_MenuExtract(menu, parentA, &error), extracted);
  EXPECT_NE(uik_MenuExtract(menu, parentB, &error), extracted);
  EXPECT_EQ(viewerhost::itemLabels(extracted), viewerhost::itemLabels(menu));
  EXPECT_EQ(error, nullptr);
  uik_PartFree(extracted, &error);
  EXPECT_NE(error, nullptr);
  hvis_ProcessErrorReport(&error);
  EXPECT_TRUE(viewerhost::chooseItem(extracted, "Plain \"quoted\"", nullptr));
}

TEST_F(UiScriptTest, DisplayRefillsFieldsAndOnlyADisplayedFrameTakesInput) {
  ErrorReport error = nullptr;
  UikScript *script = parse(kGoodScript, &error);
  ASSERT_NE(script, nullptr);
  UikPart *frame = uik_PartDup(uik_PartFind(script, "props", &error), &error);

  EXPECT_FALSE(viewerhost::typeIntoField(frame, "a", "x"));
  EXPECT_FALSE(viewerhost::pressButton(frame, "ok"));
  EXPECT_TRUE(calls().empty());

  uik_FrameDisplay(frame, &error);
  ASSERT_TRUE(viewerhost::typeIntoField(frame, "a", "edited"));
  uik_FrameRemove(frame, &error);
  EXPECT_FALSE(viewerhost::isDisplayed(frame));
  EXPECT_FALSE(viewerhost::pressButton(frame, "ok"));
  EXPECT_EQ(viewerhost::fieldText(frame, "a"), "edited");

  // Shown again, the fields show the getter's values afresh.
  uik_FrameDisplay(frame, &error);
  EXPECT_EQ(viewerhost::fieldText(frame, "a"), "second");
  EXPECT_EQ(error, nullptr);
  const viewerhost::PartCounts counts = viewerhost::partCounts("props");
  EXPECT_EQ(counts.displays, 2);
  EXPECT_EQ(counts.removals, 1);

  uik_PartFree(frame, &error);
  EXPECT_EQ(viewerhost::fieldText(frame, "a"), std::nullopt);
}

} // namespace

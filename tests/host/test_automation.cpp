// Late-bound automation against the platform's own scripting objects: the
// holder's ownership rules, and calls whose effects show on disk or in the
// object's state.
#include "host/automation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "recording_object.h"
#include "win_test_support.h"

namespace test {
void PrintTo(const RecordedArgument& a, std::ostream* os) {
  *os << "{vt " << a.type << ", " << ::testing::PrintToString(a.value) << "}";
}
}  // namespace test

namespace {

constexpr char kDictionaryClsid[] = "{EE09B103-97E0-11CF-978F-00A02463E06F}";
constexpr char kFileSystemClsid[] = "{0D43FE01-F093-11CF-8940-00A0C9054228}";

class Automation : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

// The number of references that others hold on `object`: what stays after the
// test's own extra reference is dropped again.
ULONG OthersHolding(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

struct CreateCase {
  const char* text;
  const char* member;  // a member only that class has, called without arguments
};

TEST_F(Automation, CreatesByProgIdOrByClassIdentifierText) {
  const CreateCase cases[] = {
      {"Scripting.Dictionary", "RemoveAll"},
      {"scripting.FileSystemObject", "GetTempName"},
      {kDictionaryClsid, "RemoveAll"},
      {kFileSystemClsid, "GetTempName"},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(c.text);
    AutomationObject holder;
    ASSERT_TRUE(CreateAutomationObject(holder, c.text));
    ASSERT_FALSE(holder.empty());
    EXPECT_TRUE(CallAutomationMethod(holder, c.member, {}));
  }
}

TEST_F(Automation, RefusedTextLeavesTheHolderAsItWas) {
  const char* const refused[] = {
      "No.Such.ProgId", "", "{not a class identifier}",
      "{00000000-0000-0000-0000-000000000000}",  // well formed, but no class
  };
  AutomationObject holder;
  ASSERT_TRUE(CreateAutomationObject(holder, "Scripting.Dictionary"));
  IUnknown* const first = holder.get();
  for (const char* text : refused) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(CreateAutomationObject(holder, text));
    EXPECT_EQ(holder.get(), first);
    EXPECT_EQ(OthersHolding(first), 1u);
  }

  AutomationObject empty;
  EXPECT_FALSE(CreateAutomationObject(empty, "No.Such.ProgId"));
  EXPECT_TRUE(empty.empty());
}

TEST_F(Automation, CreatingIntoAHolderReleasesTheObjectItHeld) {
  AutomationObject holder;
  ASSERT_TRUE(CreateAutomationObject(holder, "Scripting.Dictionary"));
  IUnknown* const first = holder.get();
  first->AddRef();  // keeps it alive to count the references left on it

  ASSERT_TRUE(CreateAutomationObject(holder, "Scripting.Dictionary"));
  EXPECT_NE(holder.get(), first);
  EXPECT_EQ(first->Release(), 0u);  // the holder let go of its reference
}

TEST_F(Automation, ReleaseEmptiesTheHolder) {
  AutomationObject holder;
  ReleaseAutomationObject(holder);  // an empty holder: nothing to do
  EXPECT_TRUE(holder.empty());

  ASSERT_TRUE(CreateAutomationObject(holder, "Scripting.Dictionary"));
  IUnknown* const object = holder.get();
  object->AddRef();
  ReleaseAutomationObject(holder);
  EXPECT_TRUE(holder.empty());
  EXPECT_EQ(object->Release(), 0u);
  ReleaseAutomationObject(holder);
  EXPECT_TRUE(holder.empty());
}

TEST_F(Automation, TextArgumentsReachTheObjectInTheAnsiCodePage) {
  test::TempFolder temp;
  const std::string folder = temp / "\xD5\xCB\xBA\xC5 1";  // 账号 1 in GBK
  AutomationObject fso;
  ASSERT_TRUE(CreateAutomationObject(fso, "scripting.FileSystemObject"));

  EXPECT_TRUE(CallAutomationMethod(fso, "CreateFolder", {folder}));
  EXPECT_TRUE(test::FolderExists(folder));
  // The object now finds the folder by the same text; a second creation of it
  // is an error the object raises.
  EXPECT_TRUE(CallAutomationMethod(fso, "FolderExists", {folder}));
  EXPECT_FALSE(CallAutomationMethod(fso, "CreateFolder", {folder}));
}

// Restores the current folder when the test ends.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    char old[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof old, old);
    old_ = old;
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryA(old_.c_str()); }

 private:
  std::string old_;
};

TEST_F(Automation, ArgumentsAreConvertedToTheDeclaredTypes) {
  test::TempFolder temp;
  AutomationObject fso;
  ASSERT_TRUE(CreateAutomationObject(fso, "scripting.FileSystemObject"));

  {
    // CreateFolder declares a text: the number names a relative folder.
    CurrentFolder here(temp.path());
    EXPECT_TRUE(CallAutomationMethod(fso, "CreateFolder", {std::int32_t{4711}}));
  }
  EXPECT_TRUE(test::FolderExists(temp / "4711"));

  // CopyFile's third parameter is a logical: false refuses to overwrite.
  const std::string source = temp / "source.txt";
  const std::string target = temp / "target.txt";
  ASSERT_TRUE(test::WriteWholeFile(source, "new"));
  ASSERT_TRUE(test::WriteWholeFile(target, "old"));
  EXPECT_FALSE(CallAutomationMethod(fso, "CopyFile", {source, target, false}));
  EXPECT_EQ(test::ReadWholeFile(target), "old");
  EXPECT_TRUE(CallAutomationMethod(fso, "CopyFile", {source, target, true}));
  EXPECT_EQ(test::ReadWholeFile(target), "new");
}

TEST_F(Automation, DictionaryMethodsAndPropertyRead) {
  AutomationObject dictionary;
  ASSERT_TRUE(CreateAutomationObject(dictionary, "Scripting.Dictionary"));
  EXPECT_TRUE(CallAutomationMethod(dictionary, "Add", {std::string("k"), std::int32_t{1}}));
  // The key is stored: adding it again is refused by the dictionary.
  EXPECT_FALSE(CallAutomationMethod(dictionary, "Add", {std::string("k"), std::int32_t{2}}));
  EXPECT_TRUE(CallAutomationMethod(dictionary, "Add", {std::string("other"), true}));
  // Count is a property, not a method: read as a property.
  EXPECT_TRUE(CallAutomationMethod(dictionary, "Count", {}));
  EXPECT_TRUE(CallAutomationMethod(dictionary, "RemoveAll", {}));
  EXPECT_TRUE(CallAutomationMethod(dictionary, "Add", {std::string("k"), std::int32_t{3}}));
}

TEST_F(Automation, FailedCallsReturnFalse) {
  AutomationObject empty;
  EXPECT_FALSE(CallAutomationMethod(empty, "CreateFolder", {std::string("x")}));

  AutomationObject fso;
  ASSERT_TRUE(CreateAutomationObject(fso, "scripting.FileSystemObject"));
  EXPECT_FALSE(CallAutomationMethod(fso, "NoSuchMember", {}));
  EXPECT_FALSE(CallAutomationMethod(fso, "", {}));
  EXPECT_FALSE(CallAutomationMethod(fso, "CreateFolder", {}));  // a required argument missing
  // The holder is still usable after the failures.
  EXPECT_TRUE(CallAutomationMethod(fso, "GetTempName", {}));
}

// A strict object that records what reaches it shows what the caller itself
// does: order, conversion, retries and references.
class RecordedCalls : public Automation {
 protected:
  void SetUp() override {
    Automation::SetUp();
    recorder_.emplace();
    ASSERT_TRUE(recorder_->registered());
    ASSERT_TRUE(CreateAutomationObject(holder_, test::kRecorderClsid));
    ASSERT_EQ(recorder_->references(), 1u);
  }
  void TearDown() override {
    ReleaseAutomationObject(holder_);
    EXPECT_EQ(recorder_->references(), 0u);
    recorder_.reset();
    Automation::TearDown();
  }
  std::optional<test::RegisteredRecorder> recorder_;
  AutomationObject holder_;
};

using test::RecordedArgument;

struct ArgumentCase {
  const char* member;
  std::vector<AutomationArgument> arguments;
  std::vector<RecordedArgument> received;
};

// The call takes its arguments as a braced list; the cases hold one or three.
bool CallWith(AutomationObject& holder, const char* member, const std::vector<AutomationArgument>& a) {
  if (a.size() == 1) return CallAutomationMethod(holder, member, {a[0]});
  if (a.size() == 3) return CallAutomationMethod(holder, member, {a[0], a[1], a[2]});
  ADD_FAILURE() << "no case has " << a.size() << " arguments";
  return false;
}

TEST_F(RecordedCalls, ArgumentsArriveInOrderAsTheDeclaredTypes) {
  const std::wstring account = L"\x8D26\x53F7";  // 账号
  const ArgumentCase cases[] = {
      {"Take",
       {std::string("\xD5\xCB\xBA\xC5"), std::int32_t{7}, true},
       {{VT_BSTR, account}, {VT_I4, L"7"}, {VT_BOOL, L"true"}}},
      {"Take",
       {std::int32_t{12}, std::string("34"), std::int32_t{1}},
       {{VT_BSTR, L"12"}, {VT_I4, L"34"}, {VT_BOOL, L"true"}}},
      {"Take", {std::string(), std::int32_t{-5}, false}, {{VT_BSTR, L""}, {VT_I4, L"-5"}, {VT_BOOL, L"false"}}},
      // A VARIANT parameter takes the value as it comes.
      {"Anything", {std::int32_t{5}}, {{VT_I4, L"5"}}},
      {"Anything", {std::string("x")}, {{VT_BSTR, L"x"}}},
      {"Anything", {true}, {{VT_BOOL, L"true"}}},
  };
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.received));
    recorder_->ClearCalls();
    const bool called = CallWith(holder_, c.member, c.arguments);
    EXPECT_TRUE(called);
    ASSERT_EQ(recorder_->calls().size(), 1u);
    EXPECT_EQ(recorder_->calls()[0].flags, DISPATCH_METHOD);
    EXPECT_EQ(recorder_->calls()[0].arguments, c.received);
    EXPECT_EQ(recorder_->references(), 1u);
  }
}

TEST_F(RecordedCalls, ArgumentThatCannotTakeTheDeclaredTypeStopsTheCall) {
  EXPECT_FALSE(CallAutomationMethod(holder_, "Take", {std::string("a"), std::string("not a number"), true}));
  EXPECT_TRUE(recorder_->calls().empty());
  EXPECT_EQ(recorder_->references(), 1u);
}

TEST_F(RecordedCalls, FailedMethodIsNotRunAgain) {
  EXPECT_FALSE(CallAutomationMethod(holder_, "Fail", {}));
  ASSERT_EQ(recorder_->calls().size(), 1u);
  EXPECT_EQ(recorder_->calls()[0].flags, DISPATCH_METHOD);
  EXPECT_EQ(recorder_->references(), 1u);
}

TEST_F(RecordedCalls, PropertyIsReadWhenTheMemberIsNoMethod) {
  EXPECT_TRUE(CallAutomationMethod(holder_, "Size", {}));
  ASSERT_EQ(recorder_->calls().size(), 2u);
  EXPECT_EQ(recorder_->calls()[0].flags, DISPATCH_METHOD);
  EXPECT_EQ(recorder_->calls()[1].flags, DISPATCH_PROPERTYGET);
  EXPECT_EQ(recorder_->references(), 1u);
}

TEST_F(RecordedCalls, UnknownMemberReachesNothing) {
  EXPECT_FALSE(CallAutomationMethod(holder_, "Missing", {std::string("x")}));
  EXPECT_TRUE(recorder_->calls().empty());
  EXPECT_EQ(recorder_->references(), 1u);
}

}  // namespace

// COM object and variant commands, called the way application code calls them,
// driving the scripting engine's regular-expression object.
#include "runtime/com_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/calls.h"
#include "runtime/com_object.h"
#include "runtime/memory.h"

namespace {

using runtime::ArgRecord;
namespace tag = runtime::tag;

// Owns one reference; `object` doubles as a COM object variable.
struct ObjectGuard {
    ObjectGuard() = default;
    ObjectGuard(const ObjectGuard&) = delete;
    ObjectGuard& operator=(const ObjectGuard&) = delete;
    ~ObjectGuard() {
        if (object) object->Release();
    }
    IDispatch* object = nullptr;
};

// A variant variable of the test, cleared at the end.
struct VariantGuard {
    VariantGuard() { std::memset(&v, 0, sizeof v); }
    VariantGuard(const VariantGuard&) = delete;
    VariantGuard& operator=(const VariantGuard&) = delete;
    ~VariantGuard() { ::VariantClear(&v); }
    VARIANT v;
};

ArgRecord ObjectVariableArg(IDispatch** variable) {
    return {reinterpret_cast<uint32_t>(variable), 0, tag::kComObject};
}
ArgRecord ObjectArg(IDispatch* object) {
    return {reinterpret_cast<uint32_t>(object), 0, tag::kComObject};
}
ArgRecord VariantArg(VARIANT* variant) {
    return {reinterpret_cast<uint32_t>(variant), 0, tag::kVariant};
}
ArgRecord DoubleArg(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), tag::kDouble};
}

std::string TakeText(const ArgRecord& result) {
    char* text = reinterpret_cast<char*>(result.low);
    const std::string copy = text ? text : "";
    runtime::FreeMemory(text);
    return copy;
}

bool Create(IDispatch** variable, const char* className) {
    const ArgRecord args[] = {ObjectVariableArg(variable), app::TextArg(className)};
    return app::CallCore(runtime::CreateObject, args).low != 0;
}

bool Write(IDispatch* object, const char* name, const ArgRecord& value) {
    const ArgRecord args[] = {ObjectArg(object), app::TextArg(name), value};
    return app::CallCore(runtime::WriteProperty, args).low != 0;
}

std::string ReadText(IDispatch* object, const char* name) {
    const ArgRecord args[] = {ObjectArg(object), app::TextArg(name)};
    return TakeText(app::CallCore(runtime::ReadTextProperty, args));
}

double ReadDouble(IDispatch* object, const char* name) {
    const ArgRecord args[] = {ObjectArg(object), app::TextArg(name)};
    return runtime::DoubleOf(app::CallCore(runtime::ReadDoubleProperty, args));
}

// Reads an object property with one integer index into `out`.
void ReadItem(IDispatch* collection, int32_t index, ObjectGuard* out) {
    const ArgRecord args[] = {ObjectArg(collection), app::TextArg("Item"), app::IntegerArg(index)};
    const ArgRecord result = app::CallCore(runtime::ReadObjectProperty, args);
    EXPECT_EQ(tag::kComObject, result.tag);
    out->object = reinterpret_cast<IDispatch*>(result.low);
}

class RegExpCommands : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Create(&regexp_.object, "VBScript.RegExp")); }

    // Execute(subject) with the pattern and options already written.
    void Execute(const ArgRecord& subject, ObjectGuard* matches) {
        const ArgRecord args[] = {ObjectArg(regexp_.object), app::TextArg("Execute"), subject};
        const ArgRecord result = app::CallCore(runtime::CallObjectMethod, args);
        EXPECT_EQ(tag::kComObject, result.tag);
        EXPECT_FALSE(runtime::LastComCallFailed());
        matches->object = reinterpret_cast<IDispatch*>(result.low);
    }

    ObjectGuard regexp_;
};

TEST(ComObjects, CreatingIntoAFilledVariableReleasesTheFirstObject) {
    ObjectGuard variable;
    ASSERT_TRUE(Create(&variable.object, "VBScript.RegExp"));
    IDispatch* const first = variable.object;
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(2u, first->AddRef());  // the variable's reference and ours

    ASSERT_TRUE(Create(&variable.object, "VBScript.RegExp"));
    EXPECT_NE(first, variable.object);
    EXPECT_EQ(0u, first->Release());
}

TEST(ComObjects, AFailedCreateLeavesTheVariableAlone) {
    ObjectGuard variable;
    ASSERT_TRUE(Create(&variable.object, "VBScript.RegExp"));
    IDispatch* const held = variable.object;

    EXPECT_FALSE(Create(&variable.object, "Velmora.NoSuchClass"));
    EXPECT_FALSE(Create(&variable.object, "{6D1E7B52-0000-4C11-9A3A-0000DEADBEEF}"));
    EXPECT_FALSE(Create(&variable.object, ""));
    EXPECT_EQ(held, variable.object);
    EXPECT_EQ(2u, held->AddRef());  // still alive, still referenced once by the variable
    held->Release();

    ObjectGuard empty;
    EXPECT_FALSE(Create(&empty.object, "Velmora.NoSuchClass"));
    EXPECT_EQ(nullptr, empty.object);
}

TEST(ComObjects, ClassesAreCreatedByBracedIdentifierAndFromATypeLibrary) {
    ObjectGuard byIdentifier;
    EXPECT_TRUE(Create(&byIdentifier.object, "{3F4DACA4-160D-11D2-A8E9-00104B365C9F}"));
    EXPECT_NE(nullptr, byIdentifier.object);

    // "Dictionary" is a class of the scripting run-time's type library, not a
    // program identifier: only the library finds it.
    ObjectGuard dictionary;
    EXPECT_FALSE(Create(&dictionary.object, "Dictionary"));
    const ArgRecord args[] = {ObjectVariableArg(&dictionary.object), app::TextArg("Dictionary"),
                              app::TextArg("scrrun.dll")};
    EXPECT_EQ(1u, app::CallCore(runtime::CreateObject, args).low);
    ASSERT_NE(nullptr, dictionary.object);

    const ArgRecord add[] = {ObjectArg(dictionary.object), app::TextArg("Add"), app::TextArg("key"),
                             app::TextArg("值")};
    EXPECT_EQ("", TakeText(app::CallCore(runtime::CallTextMethod, add)));
    EXPECT_FALSE(runtime::LastComCallFailed());
    EXPECT_EQ(1.0, ReadDouble(dictionary.object, "Count"));
    const ArgRecord item[] = {ObjectArg(dictionary.object), app::TextArg("Item"),
                              app::TextArg("key")};
    EXPECT_EQ("值", TakeText(app::CallCore(runtime::ReadTextProperty, item)));

    // A write with an index argument: Item("key") = 5.
    const ArgRecord put[] = {ObjectArg(dictionary.object), app::TextArg("Item"),
                             app::TextArg("key"), app::IntegerArg(5)};
    EXPECT_EQ(1u, app::CallCore(runtime::WriteProperty, put).low);
    EXPECT_EQ("5", TakeText(app::CallCore(runtime::ReadTextProperty, item)));
}

TEST(ComObjects, AssignReleaseAndIsEmptyKeepTheReferenceCount) {
    ObjectGuard source;
    ASSERT_TRUE(Create(&source.object, "VBScript.RegExp"));
    ObjectGuard variable;

    const ArgRecord assign[] = {ObjectVariableArg(&variable.object), ObjectArg(source.object)};
    app::CallCore(runtime::AssignObject, assign);
    EXPECT_EQ(source.object, variable.object);
    EXPECT_EQ(3u, source.object->AddRef());  // source, variable and this call
    source.object->Release();

    // Assigning a variable its own object must not drop the last reference on the way.
    const ArgRecord self[] = {ObjectVariableArg(&variable.object), ObjectArg(variable.object)};
    app::CallCore(runtime::AssignObject, self);
    EXPECT_EQ(3u, source.object->AddRef());
    source.object->Release();

    const ArgRecord isEmpty[] = {ObjectArg(variable.object)};
    EXPECT_EQ(0u, app::CallCore(runtime::IsObjectEmpty, isEmpty).low);

    const ArgRecord release[] = {ObjectVariableArg(&variable.object)};
    app::CallCore(runtime::ReleaseObject, release);
    EXPECT_EQ(nullptr, variable.object);
    EXPECT_EQ(2u, source.object->AddRef());
    source.object->Release();

    // Releasing an empty variable does nothing.
    app::CallCore(runtime::ReleaseObject, release);
    EXPECT_EQ(nullptr, variable.object);
    const ArgRecord isEmptyNow[] = {ObjectArg(variable.object)};
    EXPECT_EQ(1u, app::CallCore(runtime::IsObjectEmpty, isEmptyNow).low);

    // An empty source empties the variable.
    app::CallCore(runtime::AssignObject, assign);
    const ArgRecord assignEmpty[] = {ObjectVariableArg(&variable.object), ObjectArg(nullptr)};
    app::CallCore(runtime::AssignObject, assignEmpty);
    EXPECT_EQ(nullptr, variable.object);
    EXPECT_EQ(2u, source.object->AddRef());
    source.object->Release();
}

TEST_F(RegExpCommands, PropertiesAreWrittenAndReadBack) {
    EXPECT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("seg(\\d+)\\.ts")));
    EXPECT_FALSE(runtime::LastComCallFailed());
    EXPECT_EQ("seg(\\d+)\\.ts", ReadText(regexp_.object, "Pattern"));

    // Texts travel through the ANSI code page both ways.
    EXPECT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("分段(\\d+)")));
    EXPECT_EQ("分段(\\d+)", ReadText(regexp_.object, "Pattern"));

    EXPECT_TRUE(Write(regexp_.object, "IgnoreCase", app::LogicalArg(true)));
    EXPECT_EQ(-1.0, ReadDouble(regexp_.object, "IgnoreCase"));
    EXPECT_TRUE(Write(regexp_.object, "IgnoreCase", app::LogicalArg(false)));
    EXPECT_EQ(0.0, ReadDouble(regexp_.object, "IgnoreCase"));
    EXPECT_TRUE(Write(regexp_.object, "Global", app::LogicalArg(true)));
    EXPECT_EQ(-1.0, ReadDouble(regexp_.object, "Global"));

    // A variant value is passed with its content.
    VariantGuard pattern;
    const ArgRecord set[] = {VariantArg(&pattern.v), app::TextArg("a|b")};
    ASSERT_EQ(1u, app::CallCore(runtime::SetVariant, set).low);
    EXPECT_TRUE(Write(regexp_.object, "Pattern", VariantArg(&pattern.v)));
    EXPECT_EQ("a|b", ReadText(regexp_.object, "Pattern"));

    const ArgRecord read[] = {ObjectArg(regexp_.object), app::TextArg("Pattern")};
    const ArgRecord variant = app::CallCore(runtime::ReadVariantProperty, read);
    EXPECT_EQ(tag::kVariant, variant.tag);
    auto* block = reinterpret_cast<VARIANT*>(variant.low);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(VT_BSTR, V_VT(block));
    EXPECT_STREQ(L"a|b", V_BSTR(block));
    ::VariantClear(block);
    runtime::FreeMemory(block);
}

TEST_F(RegExpCommands, ExecuteGivesACollectionOfMatchesAndSubMatches) {
    ASSERT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("seg(\\d+)\\.ts")));
    ASSERT_TRUE(Write(regexp_.object, "IgnoreCase", app::LogicalArg(true)));
    ASSERT_TRUE(Write(regexp_.object, "Global", app::LogicalArg(true)));

    VariantGuard subject;
    const ArgRecord set[] = {VariantArg(&subject.v), app::TextArg("SEG1.ts\nx seg22.ts\n")};
    ASSERT_EQ(1u, app::CallCore(runtime::SetVariant, set).low);
    ObjectGuard matches;
    Execute(VariantArg(&subject.v), &matches);
    ASSERT_NE(nullptr, matches.object);
    EXPECT_EQ(2.0, ReadDouble(matches.object, "Count"));
    EXPECT_EQ("2", ReadText(matches.object, "Count"));

    ObjectGuard first, second;
    ReadItem(matches.object, 0, &first);
    ReadItem(matches.object, 1, &second);
    ASSERT_NE(nullptr, first.object);
    ASSERT_NE(nullptr, second.object);
    EXPECT_EQ("SEG1.ts", ReadText(first.object, "Value"));
    EXPECT_EQ("seg22.ts", ReadText(second.object, "Value"));
    EXPECT_EQ(10.0, ReadDouble(second.object, "FirstIndex"));

    ObjectGuard subMatches;
    const ArgRecord readSubMatches[] = {ObjectArg(second.object), app::TextArg("SubMatches")};
    subMatches.object = reinterpret_cast<IDispatch*>(
        app::CallCore(runtime::ReadObjectProperty, readSubMatches).low);
    ASSERT_NE(nullptr, subMatches.object);
    EXPECT_EQ(1.0, ReadDouble(subMatches.object, "Count"));
    const ArgRecord readGroup[] = {ObjectArg(subMatches.object), app::TextArg("Item"),
                                   app::IntegerArg(0)};
    EXPECT_EQ("22", TakeText(app::CallCore(runtime::ReadTextProperty, readGroup)));

    // With global matching off, a text subject gives the first match only.
    ASSERT_TRUE(Write(regexp_.object, "Global", app::LogicalArg(false)));
    ObjectGuard single;
    Execute(app::TextArg("seg7.ts seg8.ts"), &single);
    ASSERT_NE(nullptr, single.object);
    EXPECT_EQ(1.0, ReadDouble(single.object, "Count"));
}

TEST_F(RegExpCommands, TextMethodsReturnTheirResultAsText) {
    ASSERT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("\\d+")));
    ASSERT_TRUE(Write(regexp_.object, "Global", app::LogicalArg(true)));
    const ArgRecord args[] = {ObjectArg(regexp_.object), app::TextArg("Replace"),
                              app::TextArg("a1b22"), app::TextArg("#")};
    EXPECT_EQ("a#b#", TakeText(app::CallCore(runtime::CallTextMethod, args)));
    EXPECT_FALSE(runtime::LastComCallFailed());
}

TEST_F(RegExpCommands, MissingMembersGiveEmptyResultsAndSetTheFailureFlag) {
    ASSERT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("x")));
    EXPECT_FALSE(runtime::LastComCallFailed());

    // The scripting object has no Singleline; the application writes it anyway.
    EXPECT_FALSE(Write(regexp_.object, "Singleline", app::LogicalArg(true)));
    EXPECT_TRUE(runtime::LastComCallFailed());

    ASSERT_TRUE(Write(regexp_.object, "Pattern", app::TextArg("x")));
    EXPECT_EQ("", ReadText(regexp_.object, "NoSuchMember"));
    EXPECT_TRUE(runtime::LastComCallFailed());

    EXPECT_EQ(0.0, ReadDouble(regexp_.object, "NoSuchMember"));
    const ArgRecord args[] = {ObjectArg(regexp_.object), app::TextArg("NoSuchMember")};
    const ArgRecord object = app::CallCore(runtime::CallObjectMethod, args);
    EXPECT_EQ(0u, object.low);
    EXPECT_EQ(tag::kComObject, object.tag);
    const ArgRecord variant = app::CallCore(runtime::ReadVariantProperty, args);
    EXPECT_EQ(0u, variant.low);
    EXPECT_EQ(tag::kVariant, variant.tag);
    EXPECT_TRUE(runtime::LastComCallFailed());

    // A read-only property cannot be written; a method is not a property write.
    EXPECT_FALSE(Write(regexp_.object, "Execute", app::TextArg("x")));

    // An argument of a type a member call cannot carry ends the call.
    const ArgRecord byteSet[] = {ObjectArg(regexp_.object), app::TextArg("Pattern"),
                                 app::ByteSetArg(nullptr)};
    EXPECT_EQ(0u, app::CallCore(runtime::WriteProperty, byteSet).low);

    // An empty object has no members.
    EXPECT_EQ("", ReadText(nullptr, "Pattern"));
    EXPECT_TRUE(runtime::LastComCallFailed());
    EXPECT_EQ("x", ReadText(regexp_.object, "Pattern"));
    EXPECT_FALSE(runtime::LastComCallFailed());
}

TEST(Variants, SetCopyClearAndConvertToText) {
    VariantGuard number, text, copy;
    const ArgRecord setNumber[] = {VariantArg(&number.v), app::IntegerArg(42)};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setNumber).low);
    EXPECT_EQ(VT_I4, V_VT(&number.v));
    EXPECT_EQ(42, V_I4(&number.v));
    const ArgRecord numberText[] = {VariantArg(&number.v)};
    EXPECT_EQ("42", TakeText(app::CallCore(runtime::VariantToText, numberText)));

    const ArgRecord setText[] = {VariantArg(&text.v), app::TextArg("文本")};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setText).low);
    EXPECT_EQ(VT_BSTR, V_VT(&text.v));
    EXPECT_STREQ(L"\u6587\u672c", V_BSTR(&text.v));

    const ArgRecord copyText[] = {VariantArg(&copy.v), VariantArg(&text.v)};
    app::CallCore(runtime::CopyVariant, copyText);
    EXPECT_EQ(VT_BSTR, V_VT(&copy.v));
    EXPECT_NE(V_BSTR(&text.v), V_BSTR(&copy.v));
    const ArgRecord copyAsText[] = {VariantArg(&copy.v)};
    EXPECT_EQ("文本", TakeText(app::CallCore(runtime::VariantToText, copyAsText)));

    // Copying over a held text releases it; copying a variant onto itself keeps it.
    const ArgRecord copyNumber[] = {VariantArg(&copy.v), VariantArg(&number.v)};
    app::CallCore(runtime::CopyVariant, copyNumber);
    EXPECT_EQ(VT_I4, V_VT(&copy.v));
    const ArgRecord copySelf[] = {VariantArg(&text.v), VariantArg(&text.v)};
    app::CallCore(runtime::CopyVariant, copySelf);
    EXPECT_STREQ(L"\u6587\u672c", V_BSTR(&text.v));

    const ArgRecord clear[] = {VariantArg(&text.v)};
    app::CallCore(runtime::ClearVariant, clear);
    const unsigned char zeros[sizeof(VARIANT)] = {};
    EXPECT_EQ(0, std::memcmp(zeros, &text.v, sizeof zeros));
    EXPECT_EQ("", TakeText(app::CallCore(runtime::VariantToText, clear)));
}

TEST(Variants, SetStoresEachKindOfValue) {
    VariantGuard v;
    const ArgRecord setDouble[] = {VariantArg(&v.v), DoubleArg(1.5)};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setDouble).low);
    EXPECT_EQ(VT_R8, V_VT(&v.v));
    EXPECT_EQ(1.5, V_R8(&v.v));

    // A variant type code converts the value as it is stored.
    const ArgRecord setAsText[] = {VariantArg(&v.v), app::IntegerArg(7), app::IntegerArg(VT_BSTR)};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setAsText).low);
    ASSERT_EQ(VT_BSTR, V_VT(&v.v));
    EXPECT_STREQ(L"7", V_BSTR(&v.v));

    // A value that cannot take the type leaves the variable as it was.
    const ArgRecord badType[] = {VariantArg(&v.v), app::TextArg("abc"), app::IntegerArg(VT_I4)};
    EXPECT_EQ(0u, app::CallCore(runtime::SetVariant, badType).low);
    EXPECT_STREQ(L"7", V_BSTR(&v.v));

    const uint8_t bytes[] = {1, 0, 255};
    void* byteSet = runtime::NewByteSet(bytes, sizeof bytes);
    const ArgRecord setBytes[] = {VariantArg(&v.v), app::ByteSetArg(byteSet)};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setBytes).low);
    runtime::FreeMemory(byteSet);
    ASSERT_EQ(VT_ARRAY | VT_UI1, V_VT(&v.v));
    EXPECT_EQ(3u, V_ARRAY(&v.v)->rgsabound[0].cElements);
    EXPECT_EQ(0, std::memcmp(bytes, V_ARRAY(&v.v)->pvData, sizeof bytes));

    // Other arrays become safe arrays of variants; a null text element is the empty text.
    auto* texts = static_cast<int32_t*>(runtime::AllocMemory(4 * sizeof(int32_t)));
    texts[0] = 1;
    texts[1] = 2;
    texts[2] = reinterpret_cast<int32_t>("一");
    texts[3] = 0;
    const ArgRecord setTexts[] = {
        VariantArg(&v.v), {reinterpret_cast<uint32_t>(texts), 0, tag::kText | tag::kArrayBit}};
    EXPECT_EQ(1u, app::CallCore(runtime::SetVariant, setTexts).low);
    runtime::FreeMemory(texts);
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(&v.v));
    ASSERT_EQ(2u, V_ARRAY(&v.v)->rgsabound[0].cElements);
    const auto* items = static_cast<const VARIANT*>(V_ARRAY(&v.v)->pvData);
    EXPECT_EQ(VT_BSTR, V_VT(&items[0]));
    EXPECT_STREQ(L"\u4e00", V_BSTR(&items[0]));
    EXPECT_EQ(VT_BSTR, V_VT(&items[1]));
    EXPECT_EQ(0u, ::SysStringLen(V_BSTR(&items[1])));

    // Routine addresses have no variant form.
    const ArgRecord setRoutine[] = {VariantArg(&v.v), {0x401000, 0, tag::kRoutine}};
    EXPECT_EQ(0u, app::CallCore(runtime::SetVariant, setRoutine).low);
    EXPECT_EQ(VT_ARRAY | VT_VARIANT, V_VT(&v.v));
}

}  // namespace

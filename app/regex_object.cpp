#include "app/regex_object.h"

#include <cstring>
#include <string>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "runtime/com_commands.h"
#include "runtime/text_commands.h"

namespace app {

namespace {

using runtime::ArgRecord;

ArgRecord VariantArg(VARIANT* variant) {
    return {reinterpret_cast<uint32_t>(variant), 0, runtime::tag::kVariant};
}

void WriteLogical(const ComObject& object, const char* member, bool value) {
    const ArgRecord args[] = {ObjectArg(object), TextArg(member), LogicalArg(value)};
    CallCore(runtime::WriteProperty, args);
}

int32_t ReadInteger(const ComObject& object, const char* member) {
    const ArgRecord args[] = {ObjectArg(object), TextArg(member)};
    return static_cast<int32_t>(runtime::DoubleOf(CallCore(runtime::ReadDoubleProperty, args)));
}

// object.member(index), a new reference.
ComObject ReadItem(const ComObject& object, const char* member, int32_t index) {
    const ArgRecord args[] = {ObjectArg(object), TextArg(member), IntegerArg(index)};
    return ComObject(CallCore(runtime::ReadObjectProperty, args).low);
}

ComObject ReadObject(const ComObject& object, const char* member) {
    const ArgRecord args[] = {ObjectArg(object), TextArg(member)};
    return ComObject(CallCore(runtime::ReadObjectProperty, args).low);
}

OwnedText ReadText(const ComObject& object, const char* member) {
    const ArgRecord args[] = {ObjectArg(object), TextArg(member)};
    return OwnedText(CallCore(runtime::ReadTextProperty, args));
}

}  // namespace

RegexObject::RegexObject() {
    std::memset(&subject_, 0, sizeof subject_);
    CallDeclared(kCoInitialize, 0);
}

RegexObject::~RegexObject() {
    ClearFields();
    CallDeclared(kCoUninitialize);
}

void RegexObject::ClearFields() {
    regexp_.Reset();
    matches_.Reset();
    const ArgRecord args[] = {VariantArg(&subject_)};
    CallCore(runtime::ClearVariant, args);
}

void RegexObject::CopyFrom(const RegexObject& other) {
    const ArgRecord regexp[] = {ObjectVariable(regexp_), ObjectArg(other.regexp_)};
    CallCore(runtime::AssignObject, regexp);
    const ArgRecord matches[] = {ObjectVariable(matches_), ObjectArg(other.matches_)};
    CallCore(runtime::AssignObject, matches);
    const ArgRecord subject[] = {VariantArg(&subject_),
                                 VariantArg(const_cast<VARIANT*>(&other.subject_))};
    CallCore(runtime::CopyVariant, subject);
}

int32_t RegexObject::Create(const char* pattern, const char* subject, bool caseSensitive,
                            bool multiLine, bool global, bool quoteSubstitution) {
    const ConstantTexts& k = Constants();
    matches_.Reset();
    const ArgRecord create[] = {ObjectVariable(regexp_), TextArg(k.regExpClass)};
    CallCore(runtime::CreateObject, create);

    // Failed writes are ignored: the scripting object has no "Singleline".
    WriteLogical(regexp_, k.memberIgnoreCase, !caseSensitive);
    WriteLogical(regexp_, k.memberMultiline, multiLine);
    WriteLogical(regexp_, k.memberSingleline, true);
    WriteLogical(regexp_, k.memberGlobal, global);

    OwnedText substituted;
    if (quoteSubstitution) {
        const ArgRecord replace[] = {TextArg(pattern), TextArg(k.quoteMarker), TextArg(k.quote)};
        substituted = OwnedText(CallCore(runtime::ReplaceSubtext, replace));
        pattern = substituted.c_str();
    }
    const ArgRecord setPattern[] = {ObjectArg(regexp_), TextArg(k.memberPattern), TextArg(pattern)};
    CallCore(runtime::WriteProperty, setPattern);

    const ArgRecord setSubject[] = {VariantArg(&subject_), TextArg(subject)};
    CallCore(runtime::SetVariant, setSubject);
    const ArgRecord execute[] = {ObjectArg(regexp_), TextArg(k.memberExecute),
                                 VariantArg(&subject_)};
    matches_.Reset(CallCore(runtime::CallObjectMethod, execute).low);
    return matches_ ? 1 : 0;
}

OwnedText RegexObject::Pattern() {
    if (!regexp_) return OwnedText();
    return ReadText(regexp_, Constants().memberPattern);
}

OwnedText RegexObject::Replace(const char* subject, const char* replacement) {
    const ArgRecord args[] = {ObjectArg(regexp_), TextArg(Constants().memberReplace),
                              TextArg(subject), TextArg(replacement)};
    return OwnedText(CallCore(runtime::CallTextMethod, args));
}

int32_t RegexObject::Count() { return ReadInteger(matches_, Constants().memberCount); }

int32_t RegexObject::PositionOf(const ComObject& item, const char* value) {
    const ArgRecord subjectText[] = {VariantArg(&subject_)};
    const OwnedText subject(CallCore(runtime::VariantToText, subjectText));
    const int32_t firstIndex = ReadInteger(item, Constants().memberFirstIndex);
    const ArgRecord find[] = {TextArg(subject.c_str()), TextArg(value), IntegerArg(firstIndex + 1),
                              LogicalArg(false)};
    const int32_t found = static_cast<int32_t>(CallCore(runtime::FindText, find).low);
    return found > 0 ? found - 1 : -1;
}

OwnedText RegexObject::MatchText(int32_t match, int32_t* position, bool wantPosition) {
    const ComObject item = ReadItem(matches_, Constants().memberItem, match - 1);
    OwnedText value = ReadText(item, Constants().memberValue);
    if (wantPosition && position) *position = PositionOf(item, value.c_str());
    return value;
}

OwnedText RegexObject::SubMatchText(int32_t match, int32_t subMatch, int32_t* position,
                                    bool wantPosition) {
    const ConstantTexts& k = Constants();
    const ComObject item = ReadItem(matches_, k.memberItem, match - 1);
    const ComObject subMatches = ReadObject(item, k.memberSubMatches);
    const ArgRecord args[] = {ObjectArg(subMatches), TextArg(k.memberItem),
                              IntegerArg(subMatch - 1)};
    OwnedText value(CallCore(runtime::ReadTextProperty, args));
    if (wantPosition && position) *position = PositionOf(item, value.c_str());
    return value;
}

int32_t RegexObject::SubMatchCount(int32_t match) {
    const ConstantTexts& k = Constants();
    const ComObject item = ReadItem(matches_, k.memberItem, match - 1);
    const ComObject subMatches = ReadObject(item, k.memberSubMatches);
    return ReadInteger(subMatches, k.memberCount);
}

}  // namespace app

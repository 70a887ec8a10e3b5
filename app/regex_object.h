// The application's regular-expression object: it drives the scripting
// engine's VBScript.RegExp by member names through the COM commands and keeps
// the last match collection for counting and reading. Indexes are 1-based.
#pragma once

#include <oaidl.h>

#include <cstdint>

#include "app/owned_values.h"

namespace app {

class RegexObject {
  public:
    // Initialises COM for the thread.
    RegexObject();
    // Clears the three fields, then releases COM for the thread.
    virtual ~RegexObject();
    virtual void CopyFrom(const RegexObject& other);
    // 1 when Execute gave a match collection, else 0.
    virtual int32_t Create(const char* pattern, const char* subject, bool caseSensitive = false,
                           bool multiLine = true, bool global = true,
                           bool quoteSubstitution = false);
    virtual void Reserved() {}
    virtual OwnedText Pattern();
    virtual OwnedText Replace(const char* subject, const char* replacement);
    virtual int32_t Count();
    virtual OwnedText MatchText(int32_t match, int32_t* position = nullptr,
                                bool wantPosition = false);
    virtual OwnedText SubMatchText(int32_t match, int32_t subMatch, int32_t* position = nullptr,
                                   bool wantPosition = false);
    virtual int32_t SubMatchCount(int32_t match);

    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

  private:
    void ClearFields();
    // The zero-based position of `value` in the subject, from the item's FirstIndex on.
    int32_t PositionOf(const ComObject& item, const char* value);

    ComObject regexp_;   // the VBScript.RegExp of the last create
    ComObject matches_;  // the match collection of the last Execute
    VARIANT subject_;    // the subject text of the last create
};

}  // namespace app

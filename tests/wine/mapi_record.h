// What a Simple MAPI message holds, as lines of text, for the tests to compare.
#pragma once
#include <windows.h>
#include <mapi.h>

#include <string>

inline std::string DescribeMapiMessage(LHANDLE session, ULONG_PTR parent, const MapiMessage& m, FLAGS flags,
                                       ULONG reserved) {
    auto text = [](const char* s) { return std::string(s ? s : "(null)"); };
    const MapiRecipDesc* o = m.lpOriginator;
    // Every field the message does not name is zero or null.
    bool unnamedZero = !m.ulReserved && !m.lpszMessageType && !m.lpszDateReceived && !m.lpszConversationID &&
                       !m.flFlags && (m.nRecipCount > 0) == (m.lpRecips != nullptr) &&
                       (m.nFileCount > 0) == (m.lpFiles != nullptr);
    std::string r = "session " + std::to_string(session) + " reserved " + std::to_string(reserved) + "\n";
    r += "parent " + std::to_string(parent) + "\nflags " + std::to_string(flags) + "\n";
    r += std::string("originator ") +
         (!o                                                                 ? "null"
          : o->ulRecipClass || o->lpszName || o->lpszAddress || o->ulEIDSize ? "filled"
                                                                             : "zero") +
         "\n";
    r += "subject " + text(m.lpszSubject) + "\n";
    for (ULONG i = 0; i < m.nRecipCount; i++) {
        const MapiRecipDesc& d = m.lpRecips[i];
        unnamedZero = unnamedZero && !d.ulReserved && !d.ulEIDSize && !d.lpEntryID;
        r += "recipient " + std::to_string(d.ulRecipClass) + " " + text(d.lpszName) + " " +
             text(d.lpszAddress) + "\n";
    }
    for (ULONG i = 0; i < m.nFileCount; i++) {
        const MapiFileDesc& f = m.lpFiles[i];
        unnamedZero = unnamedZero && !f.ulReserved && !f.flFlags && !f.lpFileType;
        r += "file " + std::to_string(f.nPosition) + " " + text(f.lpszPathName) + " " + text(f.lpszFileName) +
             "\n";
    }
    r += unnamedZero ? "others zero\n" : "others set\n";
    // The body last: it runs to the end, line breaks and all.
    return r + "body\n" + text(m.lpszNoteText);
}

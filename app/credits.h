// SPDX-License-Identifier: MIT
// Who made the program, as the About box and the credit boxes name them.
#pragma once

#include <QString>

struct Author {
    const char* name;
    const char* mail;
};

inline constexpr Author FirstAuthor{"Ilse Marwick", "ilse.marwick@quenlo.example"};
inline constexpr Author SecondAuthor{"Tomas Brenner", "tomas.brenner@quenlo.example"};
inline constexpr const char* WebAddress = "https://quenlo.example/";
inline constexpr const char* RightsNotice = "(C) 2026 the Quenlo authors";

// Shift+V: the authors and what each did.
QString AuthorsCreditText();
// Shift+S: the libraries and the method the program stands on.
QString LibraryCreditText();

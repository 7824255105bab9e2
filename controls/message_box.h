// SPDX-License-Identifier: MIT
// Every message the user sees goes through here: an OK box, a Yes/No
// question, or the Save/Discard/Cancel question before work is dropped,
// titled with the program's display name. Tests install hooks that record
// the text and answer at once.
#pragma once

#include <QString>

#include <functional>

// The icon beside the text: none for the editor's own messages, the
// exclamation mark for failures of the system around it.
enum class MessageIcon { None, Warning };

using MessageBoxHook = std::function<void(const QString& text)>;
using QuestionBoxHook = std::function<bool(const QString& text)>;

enum class SaveAnswer { Save, Discard, Cancel };
using SaveQuestionHook = std::function<SaveAnswer(const QString& text)>;

// "Quenlo": the title of the message boxes and the progress box (the
// application's name is the executable's, which names the settings).
QString BoxTitle();

void ShowMessageBox(const QString& text, MessageIcon icon = MessageIcon::None);

// True when the user answers Yes.
bool AskYesNo(const QString& text);

// Save, Discard or Cancel; closing the box is Cancel.
SaveAnswer AskSaveChanges(const QString& text);

// With a hook set, ShowMessageBox calls it and shows nothing; an empty hook
// brings the real box back.
void SetMessageBoxHook(MessageBoxHook hook);

// The same for AskYesNo: the hook's result is the answer.
void SetQuestionBoxHook(QuestionBoxHook hook);

// The same for AskSaveChanges.
void SetSaveQuestionHook(SaveQuestionHook hook);

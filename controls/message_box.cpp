// SPDX-License-Identifier: MIT
#include "controls/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QuestionBoxHook& QuestionHook()
{
    static QuestionBoxHook hook;
    return hook;
}

SaveQuestionHook& SaveHook()
{
    static SaveQuestionHook hook;
    return hook;
}

} // namespace

QString BoxTitle()
{
    return QStringLiteral("Quenlo");
}

void ShowMessageBox(const QString& text, MessageIcon icon)
{
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, BoxTitle(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool AskYesNo(const QString& text)
{
    if (QuestionHook())
        return QuestionHook()(text);
    QMessageBox box(QMessageBox::Warning, BoxTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    // Replacing a file is the answer that loses data; it must be chosen.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveAnswer AskSaveChanges(const QString& text)
{
    if (SaveHook())
        return SaveHook()(text);
    QMessageBox box(QMessageBox::Warning, BoxTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

void SetQuestionBoxHook(QuestionBoxHook hook)
{
    QuestionHook() = std::move(hook);
}

void SetSaveQuestionHook(SaveQuestionHook hook)
{
    SaveHook() = std::move(hook);
}

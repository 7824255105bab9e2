// SPDX-License-Identifier: MIT
// The main dialog under test: message boxes, questions and file dialogs are
// answered through their seams, strokes are drawn with the real mouse path,
// and the settings and data folders are temporary.
#pragma once

#include "app/viewer_dialog.h"
#include "canvas/canvas_pane.h"
#include "controls/message_box.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

class EditorTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Constructs and shows the dialog, which runs its start-up.
    CViewerDlg& StartDialog();
    // The Open command with the file dialog answering path (empty: cancel).
    void Open(const QString& path);
    // One stroke of the current tool between two picture points.
    void Stroke(QPoint from, QPoint to);
    void Click(int id);

    template <typename Widget> Widget* Find(int id) const
    {
        return dialog->findChild<Widget*>(QString::number(id));
    }
    CCanvasPane& Canvas() const { return *dialog->Canvas(); }
    QString Text(int id) const;
    // A file in the test's own folder.
    QString PathOf(const QString& name) const { return folder.filePath(name); }

    std::unique_ptr<CViewerDlg> dialog;
    QStringList messages;
    QStringList questions;
    bool answerYes = true;
    // The Save/Discard/Cancel questions asked, and the answer they get.
    QStringList saveQuestions;
    SaveAnswer saveChoice = SaveAnswer::Discard;
    QString openAnswer;
    QString saveAnswer;
    int saveDialogs = 0;
    // What the last file dialog offered and where it started.
    QString dialogFilter;
    QString dialogStart;
    QTemporaryDir folder;
};

// A value as stored in the section "Settings"; invalid when absent.
QVariant StoredSetting(const char* key);

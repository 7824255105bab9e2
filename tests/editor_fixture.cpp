// SPDX-License-Identifier: MIT
#include "editor_fixture.h"

#include "app/app_settings.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QSettings>
#include <QTest>

namespace {

// Settings and the snapshot folder go to folders of the test run, never to
// the user's own.
class UserFolders : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("data"))));
    }

private:
    QTemporaryDir m_root;
};

[[maybe_unused]] testing::Environment* const g_userFolders = testing::AddGlobalTestEnvironment(new UserFolders);

} // namespace

QVariant StoredSetting(const char* key)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnholt"),
                       QCoreApplication::applicationName());
    return settings.value(QStringLiteral("%1/%2").arg(QLatin1String(SettingsSection), QLatin1String(key)));
}

void EditorTest::SetUp()
{
    ASSERT_TRUE(folder.isValid());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnholt"),
              QCoreApplication::applicationName())
        .clear();
    SetMessageBoxHook([this](const QString& text) { messages.push_back(text); });
    SetQuestionBoxHook([this](const QString& text) {
        questions.push_back(text);
        return answerYes;
    });
    SetSaveQuestionHook([this](const QString& text) {
        saveQuestions.push_back(text);
        return saveChoice;
    });
    SetFileDialogHook([this](FileDialogKind kind, const QString&, const QString& filter, const QString& start) {
        dialogFilter = filter;
        dialogStart = start;
        if (kind == FileDialogKind::Open)
            return openAnswer;
        ++saveDialogs;
        return saveAnswer;
    });
}

void EditorTest::TearDown()
{
    dialog.reset();
    SetMessageBoxHook({});
    SetQuestionBoxHook({});
    SetSaveQuestionHook({});
    SetFileDialogHook({});
}

CViewerDlg& EditorTest::StartDialog()
{
    dialog = std::make_unique<CViewerDlg>();
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    return *dialog;
}

void EditorTest::Open(const QString& path)
{
    openAnswer = path;
    Click(1001);
}

void EditorTest::Click(int id)
{
    auto* button = Find<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

QString EditorTest::Text(int id) const
{
    const auto* label = Find<QLabel>(id);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

void EditorTest::Stroke(QPoint from, QPoint to)
{
    CCanvasPane& canvas = Canvas();
    // Strokes are placed for pictures shown at 1:1; pictures open fitted.
    if (canvas.GetZoom() != 1.0)
        Click(1030);
    ASSERT_EQ(canvas.GetZoom(), 1.0);
    const QRect client = canvas.ClientRect();
    // A picture shown at 1:1 is centred in the client area.
    const QPoint offset(std::max(0, (client.width() - canvas.PictureWidth()) / 2),
                        std::max(0, (client.height() - canvas.PictureHeight()) / 2));
    const auto widgetPoint = [&](QPoint picture) { return client.topLeft() + offset + picture; };
    ASSERT_EQ(canvas.ClientToImage(offset + from), from);
    // The canvas samples the cursor itself, as the mouse moves it.
    QCursor::setPos(canvas.mapToGlobal(widgetPoint(from)));
    QTest::mousePress(&canvas, Qt::LeftButton, {}, widgetPoint(from));
    QCursor::setPos(canvas.mapToGlobal(widgetPoint(to)));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, widgetPoint(to));
}

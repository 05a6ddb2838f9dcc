// The settings file the window frame lives in, broken in the ways a disk breaks it: garbage
// where the file was, or a write that fails because the disk is full.
#include "ui/shell/window_frame.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace tarsik {
namespace {

const QString savedFrame = "{{10, 20}, {640, 480}}";

struct SettingsFaults : ::testing::Test {
    QTemporaryDir folder;
    QString path = folder.filePath("Tarsik.conf");
    QWidget window;

    void write(const QByteArray& content) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QString savedValue() const {
        return QSettings(path, QSettings::IniFormat).value(windowFrameKey).toString();
    }
    QString fileText() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Shows the window under the keeper and closes it at a new size, which saves at once.
    void showAndCloseAt(WindowFrameKeeper& keeper, QSize size) {
        keeper.restore();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.resize(size);
        window.close();
    }
};

TEST_F(SettingsFaults, ACorruptFileCentresTheWindowAndIsReplacedOnTheNextSave) {
    const QByteArray garbage[] = {
        QByteArray("\xff\xfe\x00\x01[General\nTarsikMainWindowFrame={{10, 20}, {640", 45),
        "[General]\nTarsikMainWindowFrame=@Rect(10 20 640 480)\n",
        "[General]\nTarsikMainWindowFrame=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x2)\n",
        "[General]\nTarsikMainWindowFrame=" + QByteArray(100000, '{') + "\n",
    };
    for (const auto& content : garbage) {
        write(content);
        {
            QSettings settings(path, QSettings::IniFormat);
            WindowFrameKeeper keeper(&window, settings);
            window.resize(700, 500);
            showAndCloseAt(keeper, QSize(720, 530));
        }
        EXPECT_EQ(parseFrameString(savedValue()).size(), QSizeF(720, 530)) << content.left(40).toStdString();
    }
}

// As root, permissions do not stop a write; a file-size limit does, as a full disk would. The
// file keeps the frame written before, and the new one is written once there is room again.
TEST_F(SettingsFaults, AFailedWriteKeepsTheFrameSavedBefore) {
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(windowFrameKey, savedFrame);
    }
    QSettings settings(path, QSettings::IniFormat);
    WindowFrameKeeper keeper(&window, settings);
    rlimit normal{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &normal), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = normal;
    full.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);

    showAndCloseAt(keeper, QSize(700, 500));
    settings.sync();
    const auto status = settings.status();
    const auto onDisk = fileText();

    ::setrlimit(RLIMIT_FSIZE, &normal);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(status, QSettings::AccessError);
    EXPECT_TRUE(onDisk.contains(savedFrame)) << onDisk.toStdString();

    settings.sync(); // the status stays at the first error; the file tells
    EXPECT_TRUE(fileText().contains("{700, 500}}")) << fileText().toStdString();
}

} // namespace
} // namespace tarsik

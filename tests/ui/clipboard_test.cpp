// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's clipboard against another X client, xclip, on a real X server (run under Xvfb).
#include "audio/clipboard_port.h"
#include "editor/ui/interface_form.h"
#include "output/tds.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tests/ui/fake_dialogs.h"
#include "tests/ui/window_probe.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace brev;
using brev::test::countingWave;
using brev::test::FakeDialogs;
using brev::test::samplesOf;
using brev::test::TempFolder;

namespace {

constexpr int kLoop = 16 * 1000;

class DesktopClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        EditorOptions options;
        options.makeEngine = [](int index) {
            OutputOptions output;
            output.nullOutput = true;
            return std::make_unique<TDS>(index, output);
        };
        options.dialogs = &dialogs;
        options.settingsFile = QString::fromStdString(dir.file("settings.ini"));
        form.start(options); // the desktop clipboard: none given
    }
    void TearDown() override {
        if (xclip.state() != QProcess::NotRunning) {
            xclip.kill();
            xclip.waitForFinished();
        }
    }

    void click(const char* name) {
        probe(form).component<QToolButton>(QString::fromLatin1(name))->click();
    }

    // xclip offers data of that type from the foreground until another owner takes over.
    void offer(const QString& type, const QByteArray& data) {
        xclip.start("xclip", {"-quiet", "-selection", "clipboard", "-t", type, "-i"});
        ASSERT_TRUE(xclip.waitForStarted());
        xclip.write(data);
        xclip.closeWriteChannel();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
                return mime && mime->hasFormat(type);
            },
            5000));
    }

    TempFolder dir;
    FakeDialogs dialogs;
    TInterfaceForm form;
    QProcess xclip;
};

TEST_F(DesktopClipboardTest, PastesTheWaveThatAnotherProgramCopied) {
    const std::string path = brev::test::writeWav(dir, "loop.wav", countingWave(kLoop, 5));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    offer("audio/wav", file.readAll());

    click("PasteFromClipBoardButton");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
    EXPECT_EQ(form.statusPanel(0)->text(), QStringLiteral("(Clipboard data)"));
    EXPECT_EQ(samplesOf(form.engine().Store().source()), samplesOf(countingWave(kLoop, 5)));
}

TEST_F(DesktopClipboardTest, PastesAWaveFileCopiedInAFileManager) {
    const std::string path = brev::test::writeWav(dir, "copied.wav", countingWave(kLoop, 9));
    offer("text/uri-list", QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded() + "\r\n");

    click("PasteFromClipBoardButton");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
    EXPECT_EQ(form.engine().Store().SourceSamples(), kLoop);
}

TEST_F(DesktopClipboardTest, PastesAFlacFileCopiedInAFileManager) {
    const std::string path = dir.file("copied.flac");
    ASSERT_EQ(
        std::system(
            ("sox -n -r 48000 -b 24 -c 2 '" + path + "' synth 0.8 sine 300 2>/dev/null").c_str()),
        0);
    offer("text/uri-list", QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded() + "\r\n");

    click("PasteFromClipBoardButton");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
    EXPECT_EQ(form.engine().Store().SourceSamples(), 35280); // 0.8 s at 44100 Hz
    EXPECT_EQ(form.statusPanel(0)->text(),
              QStringLiteral("(Clipboard data) (from FLAC, 48000 Hz, 24-bit, stereo)"));
}

TEST_F(DesktopClipboardTest, AnotherProgramReadsTheCopiedLoopAsAWave) {
    dialogs.files.push_back(
        QString::fromStdString(brev::test::writeWav(dir, "loop.wav", countingWave(kLoop, 2))));
    click("LoadFromFileButton");
    form.pattern().SetCheckValue("Reverse1CheckText", true);
    click("CopyToClipBoardButton");
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();

    // The editor answers xclip's request from its event loop, so wait without blocking it.
    xclip.start("xclip", {"-selection", "clipboard", "-t", "audio/wav", "-o"});
    ASSERT_TRUE(xclip.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 5000));
    const QByteArray bytes = xclip.readAllStandardOutput();

    MemoryClipboard received;
    received.setWaveBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    BrevWave::TWave wave;
    wave.LoadFromClipboard(received);
    EXPECT_EQ(samplesOf(wave), samplesOf(form.engine().Store().joinSlots()));
    EXPECT_EQ(wave.GetSamples(), kLoop);
}

} // namespace

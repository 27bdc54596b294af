#pragma once

// A draw screen on fake services over a roster of numbered participants, its working folder (where
// the draw keeps its record) a temporary one holding the pictures and songs.
#include "core/draw/drawsequence.h"
#include "support/testservices.h"
#include "ui/draw/drawscreen.h"
#include "ui/draw/panelwidget.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

struct DrawBench {
    TestServices ts;
    ProgramState state;
    QTemporaryDir folder;
    QPointer<DrawScreen> screen;

    explicit DrawBench(int participants, int mode = 1, int cols = 5, int rows = 5) {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        for (int r = 1; r <= participants; ++r) {
            state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        }
        state.Settings.GameMode = mode;
        state.Settings.Cols = cols;
        state.Settings.Rows = rows;
        state.Settings.Pictures = QDir(folder.path()).filePath(QStringLiteral("Pictures"));
        state.Settings.Musics = QDir(folder.path()).filePath(QStringLiteral("Musics"));
        QDir().mkpath(state.Settings.Pictures);
        QDir().mkpath(state.Settings.Musics);
        state.ProgramFolder = folder.path() + QDir::separator();
    }
    ~DrawBench() {
        if (screen) {
            state.DrawInProgress = false;
            screen->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    DrawBench(const DrawBench&) = delete;
    DrawBench& operator=(const DrawBench&) = delete;

    // Shown, before its first housekeeping tick.
    void Create() {
        screen = new DrawScreen(state, ts.services);
        screen->resize(1024, 700);
        screen->show();
    }
    // Shown and laid out.
    void Open() {
        Create();
        ts.clock.Advance(1000);
    }
    // One press of the draw button, run to its end.
    void Draw() {
        screen->cmd抽選開始_Click();
        RunOn();
    }
    void RunOn() {
        for (int guard = 0; screen && screen->Sequence().IsRunning() && guard < 100000; ++guard) {
            ts.clock.AdvanceToNext();
        }
    }
    void DeleteLater() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    PanelWidget* Panel(int k) const {
        return screen->findChild<PanelWidget*>(QStringLiteral("Picパネル_%1").arg(k));
    }
    QPushButton* Button(const char* name) const {
        return screen->findChild<QPushButton*>(QString::fromUtf8(name));
    }
    // Everything the user could start on the screen.
    void TryEverything() {
        screen->Picパネル_MouseUp(0);
        Button("Cmd背景色")->click();
        screen->cmd抽選開始_Click();
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ErrorReport.h"
#include "gui/BrowserWindow.h"
#include "gui/MainWindow.h"
#include "gui/PictureViewer.h"
#include "gui/SavePicture.h"
#include "gui/WindowLanguage.h"
#include "output/WorkingPicture.h"
#include "support/FakeBrowser.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

// The three windows of a run, with a fake engine, temporary config and temp folders, and
// message boxes and save dialogs answered by the test.
struct MainFormFixture {
    QTemporaryDir config;
    QTemporaryDir temp;
    FakeBrowser* browser = nullptr;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<BrowserWindow> snap;
    std::unique_ptr<PictureViewer> view;
    QStringList messages;
    QString nextSaveName;
    QStringList saveRequests;

    // `prepare` runs once the temporary folders are in place, before the windows exist.
    explicit MainFormFixture(const QStringList& arguments = {},
                             const std::function<void()>& prepare = {}) {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        if (prepare) {
            prepare();
        }
        SetMessageSink([this](MessageKind, const QString& text) { messages << text; });
        SetSaveDialogHook([this](const SaveDialogRequest& request) {
            saveRequests << request.proposedName + QLatin1Char('|') + request.filter +
                                QLatin1Char('|') + request.defaultSuffix;
            return nextSaveName;
        });
        main = std::make_unique<MainWindow>();
        main->FCommandLine = QStringList{QStringLiteral("vistrel-pro")} + arguments;
        browser = new FakeBrowser;
        snap = std::make_unique<BrowserWindow>(browser);
        view = std::make_unique<PictureViewer>();
    }

    ~MainFormFixture() {
        SetMessageSink({});
        SetSaveDialogHook({});
        SetUnattended(false);
        view.reset();
        snap.reset();
        main.reset();
        UseWindowLanguage(WindowLanguage::Chinese);
    }

    void show() { main->show(); }

    // Captures a fake page of this size through the wizard's Start, as a user would.
    void capture(const QSize& page) {
        browser->SetPageSize(page);
        main->StartClick();
        browser->FinishLoad();
        QTRY_COMPARE(main->FPage, 2);
        QTRY_VERIFY(QFile::exists(WorkingPicturePath(main->FWorkingPictureName)));
    }
};

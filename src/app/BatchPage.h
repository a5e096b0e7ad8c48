#pragma once

#include "app/CommandLineCapture.h"

#include <QObject>

#include <memory>

class QWebEngineProfile;

// One page of a batch run: a capture on a browser of its own, in a profile of its own that is
// kept in memory only, so that no line sees another line's cookies, storage or cache.
class BatchPage : public QObject {
    Q_OBJECT

public:
    BatchPage(const CaptureJob& job, QObject* parent = nullptr);
    ~BatchPage() override;

    CommandLineCapture& Capture() const { return *FCapture; }

private:
    // The profile outlives the page that uses it.
    std::unique_ptr<QWebEngineProfile> FProfile;
    std::unique_ptr<CommandLineCapture> FCapture;
};

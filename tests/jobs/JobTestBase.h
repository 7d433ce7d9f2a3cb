#pragma once
// Shared set-up of the job tests: a temporary folder with helpers for real image files, the
// recording front end, and the expected view calls of each step of a run.

#include "RecordingFront.h"
#include "TestImages.h"
#include "jobs/Jobs.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quarbel::testing {

class JobTest : public ::testing::Test, public TempTree {
protected:
    FakeInputs in;
    RecordingView view;

    jobs::JobSummary convert(int jobs = 2) { return jobs::ConvertImages(in, view, {jobs}); }
    jobs::JobSummary resize(int jobs = 2) { return jobs::ResizeImages(in, view, {jobs}); }
};

// The view calls of each step, as the frame must make them.
inline QStringList preparationCalls(int count)
{
    return {"bar visible 1", QString("bar max %1").arg(count), "bar value 0", "cancel enabled 1"};
}
inline QStringList cancelQuestion(const QString& title)
{
    return {QString("message [Do you want to cancel?] [%1] Question YesNo").arg(title)};
}
inline QStringList itemCalls(int n, const QString& percent, const QStringList& question = {})
{
    return QStringList{"controls enabled 0"} + question +
           QStringList{"status 1 [Processing...]",
                       "status 2 []",
                       "status 3 []",
                       "percent visible 1",
                       QString("percent [%1%]").arg(percent),
                       "bar color 00ff00",
                       QString("bar value %1").arg(n),
                       "events"};
}
inline QStringList completionCalls(const QString& text = "Finished.")
{
    return {QString("status 1 [%1]").arg(text), "status 2 []", "status 3 []", "cancel enabled 0",
            "controls enabled 1"};
}
inline QStringList cancelCalls(const QString& text)
{
    return {QString("status 1 [%1]").arg(text),
            "status 2 []",
            "status 3 []",
            "percent visible 0",
            "bar value 0",
            "bar color ffffff",
            "controls enabled 1"};
}

}  // namespace quarbel::testing

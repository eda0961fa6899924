#pragma once

#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace kt7test {

// Answers file dialogs from a script and records every request.
class FakeDialogs : public kt7::FileDialogs {
  public:
    QString getSaveFileName(const kt7::FileDialogRequest& request) override {
        saveRequests.push_back(request);
        if (duringDialog)
            duringDialog();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString getOpenFileName(const kt7::FileDialogRequest& request) override {
        openRequests.push_back(request);
        if (duringDialog)
            duringDialog();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers; // empty text = cancel
    std::vector<kt7::FileDialogRequest> saveRequests;
    std::vector<kt7::FileDialogRequest> openRequests;
    std::function<void()> duringDialog;
};

// Records messages instead of showing them.
class FakeMessageBoxes : public kt7::MessageBoxes {
  public:
    void show(const QString& text) override {
        shown.append(text);
        if (duringMessage)
            duringMessage();
    }
    QStringList shown;
    std::function<void()> duringMessage;
};

} // namespace kt7test

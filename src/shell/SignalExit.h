// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>

class QSocketNotifier;

namespace qel {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the GUI thread, so that they take the
// exit command's path instead of ending the process at once. One per process.
class CSignalExit : public QObject {
    Q_OBJECT
public:
    explicit CSignalExit(QObject* parent = nullptr);
    ~CSignalExit() override;

signals:
    void exitRequested(int signalNumber);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qel

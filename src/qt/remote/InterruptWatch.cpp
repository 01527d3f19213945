// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/InterruptWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>

namespace tavero::qt {

namespace {

/// Written by the signal handler, read by the event loop.
int interruptPipe[2] = {-1, -1};

extern "C" void onInterrupt(int /*signal*/) {
    const char byte = 1;
    // Nothing to do when it fails: the pipe then already holds an unread byte.
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &byte, 1);
}

}  // namespace

InterruptWatch::InterruptWatch() {
    if (pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    notifier_.emplace(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&*notifier_, &QSocketNotifier::activated, [this] {
        interrupted_ = true;
        // Not quit(): in a window program that asks the windows to close, which may ask the user.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGHUP, &action, &previousHup_);
}

InterruptWatch::~InterruptWatch() {
    if (!notifier_) {
        return;
    }
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGHUP, &previousHup_, nullptr);
    notifier_.reset();
    close(interruptPipe[0]);
    close(interruptPipe[1]);
}

}  // namespace tavero::qt

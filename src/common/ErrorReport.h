// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

enum class MessageKind { Error, Information };

// Where message boxes would go when nobody can answer them (no display, command-line runs):
// the text goes to stderr instead. Tests install a sink to see messages without a modal box.
using MessageSink = std::function<void(MessageKind kind, const QString& text)>;
void SetMessageSink(MessageSink sink);

bool HasDisplay();

// The application's general error report: error icon, caption "Vistrel Pro", full-stop rule.
void ShowErrorReport(const QString& message);
// A confirmation: information icon, caption "Vistrel Pro", OK.
void ShowInformation(const QString& message);

// In an unattended run every message goes to stderr, display or not.
void SetUnattended(bool unattended);

// How the windows show a message where somebody can answer it (a modal box); without one,
// or with no display, messages go to stderr.
void SetMessagePresenter(MessageSink presenter);

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>

#include <iosfwd>
#include <sstream>
#include <string>

namespace qel::cli {

// Where a command's results go: lines of text on standard output and its failures on standard
// error, or with --json one document on standard output, {"ok": true, ...} or
// {"ok": false, "error": {"code", "message", "details"}, ...}.
class CommandOutput {
public:
    CommandOutput(bool json, std::ostream& out, std::ostream& err)
        : json_(json), out_(out), err_(err) {}
    bool json() const { return json_; }
    // Standard output, or nowhere with --json.
    std::ostream& text() { return json_ ? discarded_ : out_; }
    // Standard error, or nowhere with --json.
    std::ostream& errorText() { return json_ ? discarded_ : err_; }
    // A field of the document, or several.
    void set(const QString& key, const QJsonValue& value) { fields_.insert(key, value); }
    void set(const QJsonObject& fields);

    // The document, ok; the text is already out. Returns the exit status 0.
    int succeed();
    // lines on standard output, or "message" (the first line) and "details" (the lines after
    // it, indented by two spaces) in the document. Returns 0.
    int succeed(const std::string& lines);
    // lines on standard error, or the error in the document. code is a short stable word
    // such as "timeout". Returns the exit status 1.
    int fail(const char* code, const std::string& lines);

    // {"message": first line, "details": [the further lines without their indent]}.
    static QJsonObject lineFields(const std::string& lines);

private:
    void print(bool ok);

    bool json_;
    std::ostream& out_;
    std::ostream& err_;
    std::ostringstream discarded_;
    QJsonObject fields_;
};

}  // namespace qel::cli

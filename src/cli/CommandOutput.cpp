// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/CommandOutput.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <ostream>

namespace qel::cli {

namespace {

std::string withoutNewline(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace

QJsonObject CommandOutput::lineFields(const std::string& lines) {
    const std::string text = withoutNewline(lines);
    QJsonArray details;
    size_t end = text.find('\n');
    const std::string message = text.substr(0, end);
    while (end != std::string::npos) {
        const size_t start = end + 1;
        end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        line.erase(0, line.find_first_not_of(' '));
        details.append(QString::fromStdString(line));
    }
    return {{"message", QString::fromStdString(message)}, {"details", details}};
}

void CommandOutput::set(const QJsonObject& fields) {
    for (auto f = fields.begin(); f != fields.end(); ++f) fields_.insert(f.key(), f.value());
}

void CommandOutput::print(bool ok) {
    fields_.insert("ok", ok);
    out_ << QJsonDocument(fields_).toJson(QJsonDocument::Indented).toStdString();
    out_.flush();
}

int CommandOutput::succeed() {
    if (json_) print(true);
    return 0;
}

int CommandOutput::succeed(const std::string& lines) {
    if (!json_) {
        out_ << withoutNewline(lines) << "\n";
        return 0;
    }
    set(lineFields(lines));
    return succeed();
}

int CommandOutput::fail(const char* code, const std::string& lines) {
    if (!json_) {
        err_ << withoutNewline(lines) << "\n";
        return 1;
    }
    QJsonObject error = lineFields(lines);
    error.insert("code", code);
    fields_.insert("error", error);
    print(false);
    return 1;
}

}  // namespace qel::cli

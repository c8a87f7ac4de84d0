// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace qel {

namespace {

// Qt's ICU converter, which is the Windows code page 936. A Qt without ICU has none: then
// every non-empty text is refused and every name reads as not valid, so nothing is rewritten.
constexpr char kCodePage[] = "GBK";

void addOnce(std::string& list, const QString& character) {
    const std::string utf8 = character.toStdString();
    if (list.find(utf8) == std::string::npos) list += utf8;
}

}  // namespace

GbkName encodeGbk(std::string_view utf8, size_t maxBytes) {
    utf8 = utf8.substr(0, std::min(utf8.find('\0'), utf8.size()));
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    GbkName name;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, n);
        i += n;
        // One encoder per character: its error flag stays set once raised.
        QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(character);
        if (encoder.hasError() || !encoder.isValid())
            addOnce(name.missing, character);
        else if (name.shortened || name.bytes.size() + static_cast<size_t>(bytes.size()) > maxBytes)
            name.shortened = true;
        else
            name.bytes.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    if (!name.ok()) name.bytes.clear();
    return name;
}

std::string decodeGbk(std::string_view bytes, bool* valid) {
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    const QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (valid) *valid = decoder.isValid() && !decoder.hasError();
    return text.toStdString();
}

}  // namespace qel

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "resources/Skins.h"

using qel::skin::bitmap;

namespace {

QImage area(int id, QRect r) {
    return bitmap(id).toImage().copy(r).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool opaqueAt(int id, QPoint p) {
    return bitmap(id).toImage().pixelColor(p).alpha() == 255;
}

}  // namespace

class TestSkins : public QObject {
    Q_OBJECT

private slots:
    void skinsHaveTheirSizesAndDistinctStateRows_data();
    void skinsHaveTheirSizesAndDistinctStateRows();
    void titleStripIconsAndPlates();
};

void TestSkins::skinsHaveTheirSizesAndDistinctStateRows_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("rows");  // state rows, each of the control's height
    QTest::newRow("polarity") << 137 << QSize(48, 69) << QList<int>{0, 23, 46};
    QTest::newRow("mute") << 138 << QSize(48, 69) << QList<int>{0, 23, 46};
    QTest::newRow("routing point") << 144 << QSize(10, 30) << QList<int>{0, 10, 20};
    QTest::newRow("caption") << 145 << QSize(64, 40) << QList<int>{0, 20};
    QTest::newRow("title tabs") << 149 << QSize(128, 51) << QList<int>{0, 17, 34};
    QTest::newRow("push") << 151 << QSize(48, 36) << QList<int>{0, 18};
    QTest::newRow("search") << 1010 << QSize(22, 40) << QList<int>{0, 20};
}

void TestSkins::skinsHaveTheirSizesAndDistinctStateRows() {
    QFETCH(int, id);
    QFETCH(QSize, size);
    QFETCH(QList<int>, rows);
    QCOMPARE(bitmap(id).size(), size);
    const int h = size.height() / rows.size();
    const int x = id == 149 ? 24 : 0;  // the title's tab images start at x 24
    const int w = id == 149 ? 64 : id == 145 ? 32 : size.width();
    for (int i = 0; i < rows.size(); ++i) {
        QVERIFY(opaqueAt(id, {x + w / 2, rows[i] + h / 2}));
        for (int j = i + 1; j < rows.size(); ++j)
            QVERIFY(area(id, {x, rows[i], w, h}) != area(id, {x, rows[j], w, h}));
    }
}

void TestSkins::titleStripIconsAndPlates() {
    QVERIFY(area(137, {0, 46, 48, 23}) != area(138, {0, 46, 48, 23}));
    QVERIFY(opaqueAt(145, {60, 10}));
    QVERIFY(!opaqueAt(145, {40, 30}));                          // nothing beside the narrow plate
    QVERIFY(opaqueAt(149, {0, 0}) && opaqueAt(149, {23, 23}));  // background tile
    QImage empty(14, 7, QImage::Format_ARGB32_Premultiplied);
    empty.fill(Qt::transparent);
    for (const int top : {0, 17, 34}) {
        const QImage unlinked = area(149, {92, top + 5, 14, 7});
        const QImage linked = area(149, {109, top + 5, 14, 7});
        QVERIFY(unlinked != linked);
        QVERIFY(unlinked != empty && linked != empty);
    }
    QVERIFY(qel::skin::paintControlSkin(150).isNull());
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"

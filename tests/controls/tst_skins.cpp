#include <QtTest>

#include "resources/Skins.h"

using qel::skin::bitmap;
using qel::skin::paintControlSkin;

namespace {

QImage area(int id, QRect r) {
    return bitmap(id).toImage().copy(r).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool opaqueAt(int id, QPoint p) { return bitmap(id).toImage().pixelColor(p).alpha() == 255; }

bool anyInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > 0) return true;
    return false;
}

// Every pair of the given source areas looks different.
void requireDistinct(int id, const QList<QRect>& rows) {
    for (int i = 0; i < rows.size(); ++i)
        for (int j = i + 1; j < rows.size(); ++j)
            QVERIFY2(area(id, rows[i]) != area(id, rows[j]),
                     qPrintable(QStringLiteral("skin %1: rows %2 and %3 look alike")
                                    .arg(id)
                                    .arg(rows[i].y())
                                    .arg(rows[j].y())));
}

}  // namespace

class TestSkins : public QObject {
    Q_OBJECT

private slots:
    void skinsHaveTheirExactSizes_data();
    void skinsHaveTheirExactSizes();
    void unknownIdsGiveNothing();
    void buttonStatesAreDistinctAndOpaque();
    void theTwoTogglesDifferWhenChecked();
    void captionPlatesFitTheirWidths();
    void titleStripRowsAndIconsAreDistinct();
};

void TestSkins::skinsHaveTheirExactSizes_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::newRow("polarity toggle") << 137 << QSize(48, 69);
    QTest::newRow("mute toggle") << 138 << QSize(48, 69);
    QTest::newRow("routing point") << 144 << QSize(10, 30);
    QTest::newRow("caption plate") << 145 << QSize(64, 40);
    QTest::newRow("title strip") << 149 << QSize(128, 51);
    QTest::newRow("push button") << 151 << QSize(48, 36);
    QTest::newRow("search button") << 1010 << QSize(22, 40);
}

void TestSkins::skinsHaveTheirExactSizes() {
    QFETCH(int, id);
    QFETCH(QSize, size);
    QCOMPARE(bitmap(id).size(), size);
    QCOMPARE(paintControlSkin(id).format(), QImage::Format_ARGB32_Premultiplied);
}

void TestSkins::unknownIdsGiveNothing() {
    QVERIFY(paintControlSkin(0).isNull());
    QVERIFY(paintControlSkin(150).isNull());
    QVERIFY(bitmap(-1).isNull());
}

void TestSkins::buttonStatesAreDistinctAndOpaque() {
    requireDistinct(151, {{0, 0, 48, 18}, {0, 18, 48, 18}});
    requireDistinct(1010, {{0, 0, 22, 20}, {0, 20, 22, 20}});
    for (const int id : {137, 138}) {
        requireDistinct(id, {{0, 0, 48, 23}, {0, 23, 48, 23}, {0, 46, 48, 23}});
        for (const int y : {0, 23, 46}) QVERIFY(opaqueAt(id, {24, y + 11}));
    }
    requireDistinct(144, {{0, 0, 10, 10}, {0, 10, 10, 10}, {0, 20, 10, 10}});
    for (const int y : {0, 10, 20}) QVERIFY(opaqueAt(144, {5, y + 5}));
    for (const int y : {0, 18}) QVERIFY(opaqueAt(151, {24, y + 9}));
}

void TestSkins::theTwoTogglesDifferWhenChecked() {
    QVERIFY(area(137, {0, 46, 48, 23}) != area(138, {0, 46, 48, 23}));
}

void TestSkins::captionPlatesFitTheirWidths() {
    QVERIFY(opaqueAt(145, {60, 10}));
    QVERIFY(opaqueAt(145, {28, 30}));
    QVERIFY(!anyInk(area(145, {33, 20, 31, 20})));  // nothing beyond the narrow plate
    QVERIFY(area(145, {0, 0, 32, 20}) != area(145, {0, 20, 32, 20}));
}

void TestSkins::titleStripRowsAndIconsAreDistinct() {
    requireDistinct(149, {{24, 0, 64, 17}, {24, 17, 64, 17}, {24, 34, 64, 17}});
    for (const int top : {0, 17, 34}) {
        const QImage unlinked = area(149, {92, top + 5, 14, 7});
        const QImage linked = area(149, {109, top + 5, 14, 7});
        QVERIFY(anyInk(unlinked));
        QVERIFY(anyInk(linked));
        QVERIFY(unlinked != linked);
    }
    QVERIFY(opaqueAt(149, {0, 0}));
    QVERIFY(opaqueAt(149, {23, 23}));
    QVERIFY(!anyInk(area(149, {88, 0, 4, 51})));  // the gap before the icons stays empty
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"

#include "cli/ImageJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "device/FreqTable.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ValueCodes.h"

namespace qel::cli {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

double round1(double v) { return std::round(v * 10) / 10; }

QJsonObject coded(int code, const char* key, double value) {
    return {{"code", code}, {key, round1(value)}};
}

QJsonArray points(const EqPoint* first, int count) {
    static const char* kTypes[] = {"peaking", "low shelf", "high shelf"};
    QJsonArray list;
    for (int p = 0; p < count; ++p) {
        const EqPoint& e = first[p];
        QJsonObject o{{"point", p + 1},
                      {"type", e.type < 3 ? kTypes[e.type] : "unknown"},
                      {"typeCode", e.type},
                      {"frequency", coded(e.freq, "Hz", FreqTable[e.freq])},
                      {"gain", coded(e.gain, "dB", eqGainDb(e.gain))}};
        if (e.type == 0) o["q"] = coded(e.q, "Q", eqQ(e.q));
        list.append(o);
    }
    return list;
}

QJsonObject filter(uint8_t type, uint8_t freq, bool off) {
    return {{"type", text(crossoverTypeName(type))}, {"typeCode", type},
            {"frequency", coded(freq, "Hz", FreqTable[freq])}, {"off", off}};
}

QJsonObject input(const InputChannel& in, int index) {
    EqPoint eq[InputChannel::kPoints];
    for (int p = 0; p < InputChannel::kPoints; ++p) eq[p] = in.point(p);
    return {{"channel", QString("Input %1").arg(QChar('A' + index))},
            {"gain", coded(in.gain(), "dB", gainDb(in.gain()))},
            {"muted", in.mute() != 0},
            {"eqOn", in.eqSwitch() != 0},
            {"eq", points(eq, InputChannel::kPoints)}};
}

QJsonObject output(const OutputChannel& out, int index, int inputs) {
    QJsonArray routed;
    for (int i = 0; i < inputs; ++i)
        if (out.inputSelect() & (1 << i)) routed.append(QString("Input %1").arg(QChar('A' + i)));
    EqPoint eq[OutputChannel::kPoints];
    for (int p = 0; p < OutputChannel::kPoints; ++p) eq[p] = out.point(p);
    const auto ms = [](const int* table, size_t n, uint8_t i) { return i < n ? table[i] : -1; };
    return {
        {"channel", QString("Output %1").arg(index + 1)},
        {"inputs", routed},
        {"gain", coded(out.gain(), "dB", gainDb(out.gain()))},
        {"muted", out.mute() != 0},
        {"polarity", out.polarity() ? "inverted" : "normal"},
        {"delay", QJsonObject{{"samples", out.delay()}, {"ms", std::round(delayMs(out.delay()) * 1000) / 1000}}},
        {"limiter", QJsonObject{{"level", coded(out.limiterLevel(), "dB", limiterLevelDb(out.limiterLevel()))},
                                {"attackMs", ms(kLimiterAttackMs, std::size(kLimiterAttackMs), out.limiterAttack())},
                                {"releaseMs", ms(kLimiterReleaseMs, std::size(kLimiterReleaseMs), out.limiterRelease())}}},
        {"highPass", filter(out.highPassType(), out.highPassFreq(), out.highPassFreq() == kHighPassOffCode)},
        {"lowPass", filter(out.lowPassType(), out.lowPassFreq(), out.lowPassFreq() == kLowPassOffCode)},
        {"eqOn", out.eqSwitch() != 0},
        {"eq", points(eq, OutputChannel::kPoints)}};
}

}  // namespace

QByteArray imageJson(const Equipment& unit, const ModeImage& image) {
    const uint32_t model = unit.modelCode();
    QJsonArray modes, inputs, outputs;
    for (int m = 0; m < ModeImage::kDeviceModes; ++m)
        modes.append(QJsonObject{{"number", m + 1},
                                 {"name", QString::fromStdString(image.deviceModeName(m)).trimmed()}});
    for (int i = 0; i < inputCount(model); ++i) inputs.append(input(image.record().input(i), i));
    for (int k = 0; k < outputCount(model); ++k)
        outputs.append(output(image.record().output(k), k, inputCount(model)));
    const QJsonObject root{{"model", text(unit.modelName())},
                           {"name", QString::fromStdString(unit.deviceName()).trimmed()},
                           {"currentMode", static_cast<int>(image.currentMode()) + 1},
                           {"deviceModes", modes},
                           {"inputs", inputs},
                           {"outputs", outputs}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace qel::cli

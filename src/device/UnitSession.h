// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "device/EditHistory.h"
#include "device/MeterPoller.h"
#include "device/ParamEdit.h"
#include "device/UnitJob.h"

namespace qel {

class Equipment;
class ModeImage;

// How the program keeps its sessions.
struct SessionOptions {
    // What a session does when a lost unit answers again with other settings than its own.
    enum class OnDifference {
        Ask,        // keep them for someone to choose
        TakeUnits,  // the unit's settings win (nobody is there to choose)
    };
    MeterPoller::Timing meterTiming;
    // Where the link is taken up again once lost; none: a lost unit stays lost.
    std::optional<LinkSettings> link;
    OnDifference onDifference = OnDifference::Ask;
};

// A connected unit's live state, whoever shows it: the image, the one edit path, the edit
// history with A/B, the meter poller and who watches it, and the lease a transfer takes. The
// program owns one per connected unit beside the unit list; editors, the remote hub and show
// jobs attach to it and none owns it, so closing a window loses nothing. GUI thread only, but
// for the meter poller's own thread.
class UnitSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 2000;  // how often a lost unit is asked again

    using OnDifference = SessionOptions::OnDifference;
    using Options = SessionOptions;

    static constexpr int kMeterFrameMs = 40;  // 25 frames a second, as the editor reads

    // The unit's settings were read into its image.
    explicit UnitSession(std::shared_ptr<Equipment> unit, Options options = Options());
    ~UnitSession() override;

    Equipment& unit() const { return *unit_; }
    const std::shared_ptr<Equipment>& sharedUnit() const { return unit_; }
    // The image the edit path writes; the unit's image pointer is kept on it.
    const std::shared_ptr<ModeImage>& image() const { return image_; }
    ParamEdit& edit() { return edit_; }
    EditHistory& history() { return history_; }
    MeterPoller& meters() { return meters_; }
    const MeterPoller& meters() const { return meters_; }

    // A watcher of the unit's meters, from watchMeters() until it is destroyed or reset.
    class MeterWatch {
    public:
        MeterWatch() = default;
        MeterWatch(MeterWatch&& other) noexcept { *this = std::move(other); }
        MeterWatch& operator=(MeterWatch&& other) noexcept;
        ~MeterWatch() { reset(); }
        void reset();
        explicit operator bool() const { return session_ != nullptr; }

    private:
        friend class UnitSession;
        UnitSession* session_ = nullptr;
        int id_ = 0;
    };
    // What a watcher does with the levels: takes readings (each held once), or shows them
    // with the display passes between readings (the editor).
    enum class MeterUse { Readings, DisplayPasses };
    // The meters are read as often as the fastest watcher asks, once for all of them.
    [[nodiscard]] MeterWatch watchMeters(int readingsPerSecond, MeterUse use = MeterUse::Readings);
    int meterWatchers() const { return static_cast<int>(watchers_.size()); }

    // A transfer holds the unit (a download, import, sync, show send, reconnect): no edit may
    // reach it meanwhile. The lease ends when destroyed.
    class Lease {
    public:
        Lease(Lease&& other) noexcept : session_(std::exchange(other.session_, nullptr)) {}
        Lease& operator=(Lease&&) = delete;
        ~Lease();

    private:
        friend class UnitSession;
        explicit Lease(UnitSession* session) : session_(session) {}
        UnitSession* session_;
    };
    // Nothing while another holds the unit.
    [[nodiscard]] std::optional<Lease> lease(const QString& holder);
    bool busy() const { return !holder_.isEmpty(); }
    // Who holds the unit, in the holder's words; empty when nobody does.
    QString holder() const { return holder_; }

    // Runs work on the unit in the session's worker, holding the lease as holder with the
    // meters paused (linkflag::kMeterPaused, unless someone paused them already); done runs on
    // the session's thread once the work has ended, the job still there to be read and the
    // unit still held, which it is let go after. Null when another holds the unit (holder()
    // names it), and without a link of its own for the second form, when the session has none.
    UnitJob* startTransfer(const QString& holder, const LinkSettings& link, UnitJob::Work work,
                           UnitJob::Done done);
    UnitJob* startTransfer(const QString& holder, UnitJob::Work work, UnitJob::Done done);
    // The transfer running in the session's worker; null while none runs.
    UnitJob* transfer() const { return job_.get(); }

    // Recalls the unit's stored mode slot (0..19) and reads the unit again, in the session's
    // worker: the read settings then replace the session's as a whole, as the editor's recall
    // does (settingsReplaced; the history starts again). False when another holds the unit
    // or the session has no link.
    enum class RecallEnd { Recalled, Refused, ReadFailed };
    bool recallMode(int slot, std::function<void(RecallEnd)> done);

    // Connected for remote clients only: the program lets it go once no client wants it.
    // The desk taking it up (an editor) makes it the desk's until the desk lets go.
    bool forClients() const { return forClients_; }
    void setForClients(bool forClients) { forClients_ = forClients; }

    // A lost link is taken up again every kRetryMs in the session's own worker, which holds
    // the lease meanwhile. The desk's own reconnect stops it first.
    void stopReconnecting();
    bool reconnecting() const { return jobKind_ == JobKind::Reconnect; }
    // The unit was just read again into a new image (its image pointer): it is compared with
    // the session's, whose image the unit gets back. The same settings simply go on; other
    // ones are kept for a choice or taken, as the options say. True when they were the same.
    bool settleRead();
    // The read the unit came back with, while it differs and nobody has chosen; null else.
    const ModeImage* cameBackWith() const { return cameBack_.get(); }
    // The choice: the unit's settings win (the history starts again), or the session's stay
    // and the unit is known to differ until they are written.
    void takeUnitsSettings();
    void keepSessionSettings();
    // The session's settings are written into the unit and proven, in the session's worker
    // (which holds the lease); false when another transfer holds the unit.
    bool writeSessionSettings();

signals:
    // From the meter thread, queued to the session's: a reading to take.
    void metersPublished();
    // From whichever thread changed the unit, queued to the session's: see unitChanged().
    void unitTold();
    // What the program shows of the unit may have changed: its state (not answering, lost,
    // answering again), its flags or its name.
    void unitChanged();
    // New meter display bytes (MeterPoller::display()); at most one is on its way at a time,
    // and they come at most once a frame (kMeterFrameMs).
    void metersChanged();
    void busyChanged(bool busy);
    // The lost unit answers again and was read (its meters run again).
    void linkRestored();
    // ... with other settings than the session's: cameBackWith() holds them.
    void cameBackDifferent();
    // The session's image was replaced as a whole (the unit's settings were taken).
    void settingsReplaced();
    // writeSessionSettings() ended: the unit holds the session's settings, or not.
    void settingsWritten(bool ok);
    // recallMode() asked the unit to take up slot (0..19): it did, or not.
    void modeRecalled(int slot, bool ok);

private:
    void updateMeterRate();
    void lookAtLink();
    void reconnected(UnitTransfer::Result result);
    void deliverMeters();
    // The transfer's end: the meters go on and its lease ends.
    void letGoOfUnit();
    // The unit's new image (its image pointer) after a recall is taken as a whole when read;
    // the unit gets the session's image back either way.
    void takeRead(bool read);

    std::shared_ptr<Equipment> unit_;
    std::shared_ptr<ModeImage> image_;
    ParamEdit edit_;
    EditHistory history_;
    MeterPoller meters_;
    std::map<int, std::pair<int, MeterUse>> watchers_;  // watch id to readings a second, use
    int nextWatch_ = 1;
    QString holder_;
    Options options_;
    bool forClients_ = false;
    QTimer linkTimer_;              // looks for a lost link
    enum class JobKind { None, Reconnect, Write, Other };
    std::unique_ptr<UnitJob> job_;  // the transfer in the session's worker
    JobKind jobKind_ = JobKind::None;
    std::optional<Lease> jobLease_;  // held while job_ runs
    bool pausedMeters_ = false;      // job_ set linkflag::kMeterPaused
    std::shared_ptr<ModeImage> cameBack_;

    // A metersChanged is on its way to the GUI thread, or the frame timer will see to it.
    std::atomic<bool> metersQueued_{false};
    std::atomic<bool> unitToldQueued_{false};
    std::atomic<bool> metersFresh_{false};  // display bytes published since the last delivery
    QElapsedTimer meterFrame_;              // since the last metersChanged
    QTimer meterDelay_;                     // the next frame
};

}  // namespace qel

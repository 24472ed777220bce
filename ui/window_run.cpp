// The extraction run in the window: the window is the run's host.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/messages.h"
#include "engine/run.h"
#include "ui/main_window.h"

namespace lintavo::ui {

class frm_main::Host : public RunHost {
public:
    explicit Host(frm_main& w) : w_(w) {
        timer_.start();
        events_.start();
    }

    void show_message(std::string_view text) override {
        w_.show_message(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void set_busy(bool busy) override {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return;
        }
        show_captions();  // the run's last counts, before any message it shows
        QApplication::restoreOverrideCursor();
    }
    void show_counts(const RunCounts& c) override {
        // The labels are redrawn only at pauses; a few times a second is all
        // an eye can follow, and the last counts are always shown.
        last_ = c;
        if (c.read == 0 || timer_.elapsed() >= 50) {
            show_captions();
            timer_.restart();
        }
    }
    void process_events() override {
        // A pause comes every hundred records, often many thousand times a
        // second; the window's events are handled at the first pause and
        // then once every few milliseconds, quicker than anyone types or
        // clicks, so that a run through the window costs hardly more than
        // one without it.
        if (first_pause_ || events_.elapsed() >= kEventPeriodMs) {
            first_pause_ = false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            events_.restart();
        }
        if (w_.pause_hook_) w_.pause_hook_();
    }
    // Every control that the settings are read from marks them changed.
    bool settings_may_have_changed() override { return w_.settings_changed_; }
    const ExtractionSettings& current_settings() override {
        if (w_.settings_changed_) {
            settings_ = w_.read_settings();
            w_.settings_changed_ = false;
        }
        return settings_;
    }
    void set_start_position(int row, const std::string& text) override { w_.set_text(w_.txt_ichi[row], text); }
    bool stop_requested() override { return w_.closing_; }

private:
    void show_captions() {
        w_.lbl_ReadCount->setText(QString::fromStdString(msg::count_caption(msg::kReadCount, last_.read)));
        w_.lbl_WriteCount->setText(QString::fromStdString(msg::count_caption(msg::kWriteCount, last_.written)));
    }

    static constexpr qint64 kEventPeriodMs = 5;

    frm_main& w_;
    ExtractionSettings settings_;
    RunCounts last_;
    QElapsedTimer timer_;   // since the captions were last drawn
    QElapsedTimer events_;  // since the window's events were last handled
    bool first_pause_ = true;
};

void frm_main::cmd_select_Click() {
    if (running_) return;
    running_ = true;
    cmd_select->setEnabled(false);
    settings_changed_ = true;
    Host host(*this);
    lintavo::cmd_select_Click(host, files_);
    cmd_select->setEnabled(true);
    running_ = false;
}

}  // namespace lintavo::ui

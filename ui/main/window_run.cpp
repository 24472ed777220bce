// The extraction run in the window: the window is the run's host.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include "engine/messages.h"
#include "engine/run/progress.h"
#include "engine/run/run.h"
#include "engine/io/stop_signals.h"
#include "ui/main/main_window.h"

namespace lintavo::ui {

class frm_main::Host : public RunHost {
public:
    explicit Host(frm_main& w) : w_(w) {
        timer_.start();
        events_.start();
        clock_.start();
    }

    void show_message(std::string_view text) override {
        // The last counts stand behind the message (the report of
        // replacements, a failure). A check that fails comes before the
        // counters are reset, and leaves them as the last run left them.
        if (counted_) show_captions();
        w_.show_message(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void set_busy(bool busy) override {
        // From the checks passed to the files closed, the button stops the
        // run and the progress shows; a message comes after both are gone.
        w_.show_run_state(busy);
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
        counted_ = true;
        if (c.read == 0 || timer_.elapsed() >= 50) {
            show_captions();
            timer_.restart();
        }
        if (!progress_drawn_ || progress_timer_.elapsed() >= kProgressPeriodMs) {
            show_progress();
            progress_drawn_ = true;
            progress_timer_.restart();
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
    // Read once, when the run starts: the run keeps the settings it took.
    const ExtractionSettings& current_settings() override {
        settings_ = w_.read_settings();
        return settings_;
    }
    void set_start_position(int row, const std::string& text) override { w_.set_text(w_.txt_ichi[row], text); }
    bool stop_requested() override { return w_.closing_ || w_.stop_asked_; }

private:
    void show_captions() {
        w_.lbl_ReadCount->setText(QString::fromStdString(msg::count_caption(msg::kReadCount, last_.read)));
        w_.lbl_WriteCount->setText(QString::fromStdString(msg::count_caption(msg::kWriteCount, last_.written)));
    }

    // How much of the input is read: a percentage and the bar when its size
    // is known, else the bytes read; the elapsed time and, after the first
    // seconds, the time left.
    void show_progress() {
        const ProgressFigures f{last_, static_cast<double>(clock_.elapsed()) / 1000};
        const double mb = static_cast<double>(f.bytes_read) / 1e6;
        QString text;
        if (const auto fraction = read_fraction(f)) {
            w_.prg_Progress->setRange(0, 1000);
            w_.prg_Progress->setValue(static_cast<int>(*fraction * 1000));
            text = QStringLiteral("%1%  %2 / %3 MB")
                       .arg(static_cast<int>(*fraction * 100))
                       .arg(mb, 0, 'f', 1)
                       .arg(static_cast<double>(f.input_size) / 1e6, 0, 'f', 1);
        } else {
            w_.prg_Progress->setRange(0, 0);  // a size not known: the bar only shows that it goes on
            text = QStringLiteral("読込 %1 MB").arg(mb, 0, 'f', 1);
        }
        text += QStringLiteral("  経過 ") + QString::fromStdString(clock_text(f.seconds));
        if (const auto left = seconds_left(f)) text += QStringLiteral("  残り ") + QString::fromStdString(clock_text(*left));
        w_.lbl_Progress->setText(text);
    }

    static constexpr qint64 kEventPeriodMs = 5;
    static constexpr qint64 kProgressPeriodMs = 250;

    frm_main& w_;
    ExtractionSettings settings_;
    RunCounts last_;
    QElapsedTimer timer_;   // since the captions were last drawn
    QElapsedTimer events_;  // since the window's events were last handled
    QElapsedTimer progress_timer_;  // since the progress was last drawn
    QElapsedTimer clock_;           // since the run began
    bool progress_drawn_ = false;
    bool first_pause_ = true;
    bool counted_ = false;  // the counters were reset for this run (its checks passed)
};

// While a run lasts the button reads "中止" and stops it; a run is never
// started inside another.
void frm_main::cmd_select_Click() {
    if (running_) {
        stop_run();
        return;
    }
    const QPointer<QWidget> had = QApplication::focusWidget();
    running_ = true;
    stop_asked_ = false;
    tell_preview_run_state(true);
    {
        Host host(*this);
        lintavo::cmd_select_Click(host, files_);
    }
    // A stop signal stopped the run as closing the window does; the
    // program then ends as the signal asked.
    if (const int signal = stop_signals::received()) stop_signals::end_by(signal);
    show_run_state(false);
    stop_asked_ = false;
    running_ = false;
    tell_preview_run_state(false);  // it reads the records again, with the start positions the run filled in
    restore_focus(had);  // the focus goes back to where it was, so Space runs again
}

void frm_main::show_run_state(bool running) {
    cmd_select->setText(running ? QStringLiteral("中止") : select_caption_);
    show_progress(running);
}

void frm_main::show_progress(bool shown) {
    prg_Progress->setVisible(shown);
    lbl_Progress->setVisible(shown);
    if (!shown) {
        prg_Progress->reset();
        lbl_Progress->clear();
    }
}

}  // namespace lintavo::ui

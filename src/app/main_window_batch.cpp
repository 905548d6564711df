// The "Convert to: " button's run, away from the window's thread.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/background_batch.h"
#include "app/error_guard.h"
#include "app/main_window.h"
#include "app/widget_ports.h"
#include "convert/entry_conversion.h"
#include "preview/image_widget.h"

namespace quillmere {

void TForm_Main::Button_ConvertClick() {
    if (batch_) return;
    LineEditQuality quality(*Edit_Jpg_compress_rate);
    BatchPlan plan = planBatch(ListWidgetView(*ListBox1), RadioGroupFormat(*RadioGroup2), quality,
                               CheckBoxSwitch(*CheckBox_over_write));
    batchProgress_->setRange(0, static_cast<int>(plan.sources.size()));
    batchProgress_->setValue(0);

    auto* batch =
        new BackgroundBatch(std::move(plan), defaultWorkerCount(), defaultMemoryBudget(), this);
    connect(batch, &BackgroundBatch::lineAppended, this,
            [this](const QString& line) { MemoLog(*Memo1).appendLine(line); });
    connect(batch, &BackgroundBatch::lastLineExtended, this,
            [this](const QString& text) { MemoLog(*Memo1).appendToLastLine(text); });
    connect(batch, &BackgroundBatch::pictureCommitted, this,
            [this, batch] { showCommittedPicture(*batch); });
    connect(batch, &BackgroundBatch::progressed, this, [this](int done, int total) {
        batchProgress_->setMaximum(total);
        batchProgress_->setValue(done);
    });
    connect(batch, &BackgroundBatch::ended, this, &TForm_Main::batchEnded);

    batch_ = batch;
    setConverting(true);
    batch->start();
}

void TForm_Main::stopConversion() {
    if (!batch_) return;
    batch_->requestStop();
    stopButton_->setEnabled(false);
}

void TForm_Main::showCommittedPicture(BackgroundBatch& batch) {
    if (std::optional<Bitmap24> picture = batch.takePicture()) {
        showNormalisedPicture(Image1->control(), std::move(*picture));
    }
}

void TForm_Main::batchEnded() {
    BackgroundBatch* batch = std::exchange(batch_, nullptr);
    batch->wait();
    showCommittedPicture(*batch);
    // A failed load leaves the previous picture, with auto-size switched
    // on as the load left it.
    if (batch->loadFailed()) Image1->control().setAutoSize(true);
    const std::exception_ptr error = batch->error();
    batch->deleteLater();
    setConverting(false);

    if (error) runGuarded(prompts_, [&] { std::rethrow_exception(error); });
    if (std::exchange(closeAfterBatch_, false)) close();
}

void TForm_Main::setConverting(bool converting) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ListBox1, Button1, Button_folder_select, Edit1, RadioGroup1Box, CheckBox_recursive,
             Button_Convert, RadioGroup2Box, Edit_Jpg_compress_rate, CheckBox_over_write}) {
        control->setEnabled(!converting);
    }
    batchProgress_->setVisible(converting);
    stopButton_->setEnabled(converting);
    stopButton_->setVisible(converting);
}

}  // namespace quillmere

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
#include "app/memo_log.h"
#include "convert/entry_conversion.h"
#include "preview/image_widget.h"

namespace quillmere {

void TForm_Main::Button_ConvertClick() {
    if (batch_) return;
    BatchChoices choices;
    // The quality is read first, and the field shows what was read.
    choices.qualityText = qualityTextAsRead(Edit_Jpg_compress_rate->text());
    if (choices.qualityText != Edit_Jpg_compress_rate->text()) {
        Edit_Jpg_compress_rate->setText(choices.qualityText);
    }
    for (int row = 0; row < ListBox1->count(); ++row) {
        const QListWidgetItem* entry = ListBox1->item(row);
        choices.entries << entry->text();
        if (entry->isSelected()) choices.selectedRows.insert(row);
    }
    choices.format = formatItem(RadioGroup2);
    choices.overwrite = CheckBox_over_write->isChecked();
    BatchPlan plan = planBatch(choices);
    batchProgress_->setRange(0, static_cast<int>(plan.sources.size()));
    batchProgress_->setValue(0);

    auto* batch =
        new BackgroundBatch(std::move(plan), defaultWorkerCount(), defaultMemoryBudget(), this);
    connect(batch, &BackgroundBatch::updated, this,
            [this, batch] { showBatchUpdate(batch->takeUpdate()); });
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

void TForm_Main::showBatchUpdate(BatchUpdate update) {
    // All the lines in one edit, one progress step, and of the pictures
    // committed meanwhile only the newest: the others would not be seen.
    MemoLog(*Memo1).appendAll(update.log);
    if (update.progress) {
        batchProgress_->setMaximum(update.progress->total);
        batchProgress_->setValue(update.progress->done);
    }
    if (update.picture) showNormalisedPicture(Image1->control(), std::move(*update.picture));
}

void TForm_Main::batchEnded() {
    BackgroundBatch* batch = std::exchange(batch_, nullptr);
    batch->wait();
    // The log is complete before the end is shown.
    showBatchUpdate(batch->takeUpdate());
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

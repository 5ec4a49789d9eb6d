#include "TavoDialogProgress.h"

#include "ProgressTexts.h"
#include "ProgressWorker.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "WindowLayouts.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace shell {

namespace {

using layout::SkinImage;

constexpr int kCloseId = 89;
constexpr int kCancelId = 93;
constexpr int kTimerMs = 1000;
// Far above any step a transfer posts; keeps the arithmetic in range.
constexpr std::uintptr_t kLargestStep = 1u << 20;

SkinnedDialog::Style progressStyle() {
    SkinnedDialog::Style style;
    style.colourKey = layout::windowInfo(layout::Window::Progress, g_model.deviceType).colourKey;
    style.labels.fixedColours = true;
    style.labels.alwaysCentred = true;
    return style;
}

} // namespace

CTavoDialogProgress::CTavoDialogProgress(CTavoApp& app, QWidget* owner)
    : SkinnedDialog(app.fonts(), progressStyle(), owner) {
    auto image = [&app](SkinImage role) -> SkinImageSource {
        return [&app, role] { return &app.image(role); };
    };
    setSkin({image(SkinImage::ProgressBackground), image(SkinImage::ProgressHover),
             image(SkinImage::ProgressSelected)});
    elements_ = layout::progressElements();
}

CTavoDialogProgress::~CTavoDialogProgress() = default;

void CTavoDialogProgress::setDeviceClaim(DeviceOperationGuard claim) {
    claim_.emplace(std::move(claim));
}

void CTavoDialogProgress::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

void CTavoDialogProgress::OnInitDialog() {
    m_percent = 1;
    const HWND window = hwnd();
    g_model.progressWindow = window;
    timerId_ = startTimer(kTimerMs);

    if (!claim_ || !claim_->owns())
        claim_.emplace(g_model);
    if (!claim_->owns()) {
        // Another operation still uses the keyboard: no worker.
        refused_ = true;
        claim_.reset();
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    worker_ = startDeviceWorker(m_mode, window, std::move(*claim_));
    claim_.reset();
}

void CTavoDialogProgress::onPostedMessage(const platform::PostedMessage& message) {
    if (message.message == platform::UM_DEVICE_PROGRESS)
        OnDeviceProgress(message.wParam);
    else if (message.message == platform::UM_DEVICE_DONE)
        OnDeviceDone(message.wParam);
}

void CTavoDialogProgress::OnDeviceProgress(std::uintptr_t step) {
    m_percent = percentForStep(m_mode, static_cast<int>(std::min(step, kLargestStep)));
    update();
}

void CTavoDialogProgress::OnDeviceDone(std::uintptr_t result) {
    finished_ = true;
    failedStep_ = result;
    accept();
}

void CTavoDialogProgress::onCommand(int id) {
    if (id == kCloseId || id == kCancelId)
        cancel();
}

void CTavoDialogProgress::cancel() {
    m_percent = 0;
    reject();
}

void CTavoDialogProgress::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        cancel();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Only the worker's completion ends the window as finished.
        event->accept();
        return;
    default:
        SkinnedDialog::keyPressEvent(event);
    }
}

void CTavoDialogProgress::paintAdditions(QPainter& painter) {
    const int width = barWidth(m_percent);
    const QPixmap* selected = images_.selected ? images_.selected() : nullptr;
    if (width <= 0 || !selected || selected->isNull())
        return;
    // Past the image (and the window) there is nothing to copy.
    const QRect bar = QRect(kBarLeft, kBarTop, width, kBarHeight).intersected(selected->rect());
    if (!bar.isEmpty())
        painter.drawPixmap(bar.topLeft(), *selected, bar);
}

DeviceOpOutcome runDeviceOperation(CTavoApp& app, DeviceOp op, QWidget* owner) {
    DeviceOperationGuard claim(g_model);
    if (!claim.owns()) {
        app.prompts().message(deviceBusyText(g_model.language), Buttons::Ok, Icon::Warning);
        return DeviceOpOutcome::Busy;
    }

    CTavoDialogProgress dialog(app, owner);
    dialog.m_mode = op;
    dialog.setDeviceClaim(std::move(claim));
    dialog.exec();

    if (dialog.refused()) {
        app.prompts().message(deviceBusyText(g_model.language), Buttons::Ok, Icon::Warning);
        return DeviceOpOutcome::Busy;
    }
    // Closed by the user: the worker runs on and is joined later.
    if (!dialog.finished())
        return DeviceOpOutcome::Cancelled;
    // It has posted its last message and is only returning.
    if (const auto worker = dialog.worker())
        joinDeviceWorker(*worker);

    const auto failed = static_cast<DeviceStep>(dialog.failedStep());
    if (failed == DeviceStep::None)
        return DeviceOpOutcome::Done;
    app.prompts().message(deviceFailedText(failed, g_model.language), Buttons::Ok, Icon::Error);
    return DeviceOpOutcome::Failed;
}

void waitForDeviceOperations() {
    joinDeviceWorkers();
}

} // namespace shell

// Firmware update: check the image file, then write and verify its blocks
// one after another and set the execution point once all are verified.
#include "programmer/programmer_controller.h"

#include "link/tasks.h"

#include <QFile>
#include <QFileInfo>

namespace vrs {

namespace {
constexpr uint8_t kWriteFirmwareCode = 1;
}

bool ProgrammerController::LoadFirmwareFile(const QString &path, QString *error)
{
    ShowStatus(QStringLiteral("Чтение файла прошивки: ") + QFileInfo(path).absoluteFilePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString message = QStringLiteral("Не удалось открыть файл прошивки \"%1\": %2")
                                    .arg(QFileInfo(path).absoluteFilePath(), file.errorString());
        ShowStatus(message);
        if (error)
            *error = message;
        return false;
    }
    return LoadFirmware(file.readAll(), error);
}

bool ProgrammerController::LoadFirmware(const QByteArray &bytes, QString *error)
{
    // The blocks of a running flash are read from the image while the tasks
    // run, so a new image may only be taken while the queue is idle.
    if (m_queueBusy) {
        if (error)
            *error = QStringLiteral("Дождитесь окончания текущей операции.");
        return false;
    }
    FirmwareImage image;
    QString message;
    if (!ParseFirmwareImage(bytes, &image, &message)) {
        ShowStatus(message);
        if (error)
            *error = message;
        return false;
    }
    m_firmware = std::move(image);
    ShowStatus(QStringLiteral("Файл успешно прочитан: блоков %1, точек вызова %2")
                   .arg(m_firmware.blocks.size())
                   .arg(m_firmware.executions.size()));
    m_jobFailed = false;
    StartJob();
    if (m_firmware.blocks.empty()) {
        ShowStatus(QStringLiteral("Нет блоков данных для записи"));
        Finish(false);
        return true;
    }
    FlashBlock(0);
    return true;
}

// Each block's write and verify are queued only once the block before has
// been verified: a failed block stops the job, and nothing queued for later
// blocks is left to run after it.
void ProgrammerController::FlashBlock(size_t index)
{
    const FirmwareBlock &block = m_firmware.blocks[index];
    const int number = int(index) + 1;
    const auto *data = reinterpret_cast<const uint8_t *>(m_firmware.bytes.constData()) + block.dataOffset;
    auto write = std::make_unique<TWriteTask>(
        kWriteFirmwareCode, data, block.length, block.address, m_collector->MaxPacketSize(),
        QStringLiteral("запись блока данных %1").arg(number),
        [this](TProgTask *, uint32_t mn, uint32_t pos, uint32_t mx) { Progress(mn, pos, mx); });
    m_collector->AddTask(std::move(write), [this](TProgTask *, TaskState state, QString &) {
        ResetProgress();
        if (state == tsFailed) {
            m_jobFailed = true;
            Finish(false);
        }
    });
    m_collector->AddTask(
        std::make_unique<TVerifyTask>(block.address, block.length, block.checksum,
                                      QStringLiteral("верификация блока данных %1").arg(number)),
        [this, index](TProgTask *, TaskState state, QString &) { OnBlockVerified(index, state); });
}

void ProgrammerController::OnBlockVerified(size_t index, TaskState state)
{
    if (state == tsFailed) {
        m_jobFailed = true;
        ResetProgress();
        Finish(false);
        return;
    }
    if (state != tsDone || m_jobFailed)
        return;
    if (index + 1 < m_firmware.blocks.size()) {
        FlashBlock(index + 1);
        return;
    }
    m_collector->AddTask(std::make_unique<TSetExecutionPointTask>(m_firmware.ExecutionPoint()),
                         [this](TProgTask *, TaskState s, QString &text) {
                             if (s == tsFailed) {
                                 ResetProgress();
                                 Finish(false);
                             } else if (s == tsDone) {
                                 text = QStringLiteral("Прошивка успешно записана.");
                                 Finish(true);
                             }
                         });
}

} // namespace vrs

// Reading a device's configuration set, and writing a document into it.
#include "programmer/programmer_controller.h"

#include "link/tasks.h"
#include "programmer/config_image.h"
#include "programmer/prompt.h"

namespace vrs {

namespace {
constexpr uint8_t kReadConfigCode = 9;
constexpr uint8_t kWriteConfigCode = 7;
constexpr uint32_t kConfigAddress = 0;
}

void ProgrammerController::RunTransfer()
{
    if (m_mode != pmReadConfig && m_mode != pmWriteConfig)
        return;
    StartJob();
    auto task = std::make_unique<TReadTask>(
        kReadConfigCode, kConfigAddress, m_collector->MaxPacketSize(), QStringLiteral("Чтение конфигурации"),
        [this](TProgTask *, uint32_t mn, uint32_t pos, uint32_t mx) { Progress(mn, pos, mx); });
    m_collector->AddTask(std::move(task),
                         [this](TProgTask *t, TaskState s, QString &text) { OnReadState(t, s, text); });
}

void ProgrammerController::OnReadState(TProgTask *task, TaskState state, QString &text)
{
    ResetProgress();
    if (state == tsFailed) {
        text = QStringLiteral("Не удалось прочитать файл. ") + text;
        if (m_mode == pmWriteConfig)
            RunJobStep(jsReadFailed);
        else
            Finish(false);
    } else if (state == tsDone) {
        m_work = static_cast<TReadTask *>(task)->Buffer();
        RunJobStep(jsCheckImage);
    }
}

void ProgrammerController::CheckImage()
{
    if (!ConfigImageCrcOk(m_work)) {
        ShowStatus(QStringLiteral("Ошибка проверки CRC"));
        if (!m_prompt || !m_prompt->Ask(QStringLiteral("Предупреждение"),
                                         QStringLiteral("Контрольная сумма файла конфигурации не воспадает!\r\nПродолжить"))) {
            m_work.clear();
            Finish(false);
            return;
        }
    }
    const QByteArray text = ConfigImageText(m_work);
    if (m_mode == pmReadConfig) {
        m_work = text;
        Finish(true);
        return;
    }
    m_document = MergeConfiguration(text, m_document, m_type);
    WriteDocument();
}

void ProgrammerController::AskAfterFailedRead()
{
    if (m_prompt && m_prompt->Ask(QStringLiteral("Предупреждение"),
                                   QStringLiteral("Записанная конфигурация повреждена!\r\n"
                                                  "Запись текущей конфигурации сотрет другие записи!\r\n"
                                                  "Продолжить?"))) {
        WriteDocument();
        return;
    }
    Finish(false);
}

void ProgrammerController::WriteDocument()
{
    // The write task reads its bytes from the work buffer while it runs;
    // nothing touches the buffer again until the task has ended.
    m_work = BuildConfigImage(m_document);
    auto task = std::make_unique<TWriteTask>(
        kWriteConfigCode, reinterpret_cast<const uint8_t *>(m_work.constData()), uint32_t(m_work.size()),
        kConfigAddress, m_collector->MaxPacketSize(), QStringLiteral("Запись конфигурации"),
        [this](TProgTask *, uint32_t mn, uint32_t pos, uint32_t mx) { Progress(mn, pos, mx); });
    m_collector->AddTask(std::move(task),
                         [this](TProgTask *, TaskState s, QString &text) { OnWriteState(s, text); });
}

void ProgrammerController::OnWriteState(TaskState state, QString &text)
{
    ResetProgress();
    if (state == tsFailed) {
        text = QStringLiteral("Не удалось записать файл. ") + text;
        Finish(false);
    } else if (state == tsDone) {
        text = QStringLiteral("Конфигурация успещно записана. ") + text;
        m_collector->AddTask(std::make_unique<TVerifyConfTask>(),
                             [this](TProgTask *, TaskState s, QString &) { OnVerifyConfState(s); });
    }
}

void ProgrammerController::OnVerifyConfState(TaskState state)
{
    ResetProgress();
    if (state == tsFailed) {
        m_jobFailed = true;
        RunJobStep(jsVerifyFailed);
    } else if (state == tsDone) {
        Finish(true);
    }
}

void ProgrammerController::AskAfterFailedVerify()
{
    if (m_prompt && m_prompt->Ask(QStringLiteral("Ошибка"),
                                   QStringLiteral("Ошибка верификации конфигурации!\r\nПовторить запись?"))) {
        WriteDocument();
        return;
    }
    Finish(false);
}

} // namespace vrs

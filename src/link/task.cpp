#include "link/task.h"

#include "link/frame.h"

namespace vrs {

TProgTask::TProgTask(uint8_t code, QString caption)
    : m_code(code), m_caption(std::move(caption))
{
}

TProgTask::~TProgTask() = default;

int TProgTask::WriteRequest(uint8_t *)
{
    return -1;
}

int TProgTask::BuildFrame(uint8_t *buffer)
{
    const int n = WriteRequest(buffer + kFrameDataOffset);
    if (n < 0)
        return n;
    const size_t size = FinishFrame(buffer, m_code, size_t(n));
    m_sent = true;
    ++m_attempts;
    return int(size);
}

TaskState TProgTask::MatchAnswer(const uint8_t *frame, QString &text)
{
    text.clear();
    const uint32_t length = FrameLength(frame);
    if (!m_sent || length == 0 || FrameCommand(frame) != m_code)
        return m_state;
    return ParseAnswer(FrameData(frame), length - 1, text);
}

void TProgTask::SetState(TaskState state, const QString &text, QString &result)
{
    if (state == m_state)
        return;
    m_state = state;
    result = text;
    if (m_onStateChange)
        m_onStateChange(this, state, result);
}

int TSimpleProgTask::WriteRequest(uint8_t *)
{
    return 0;
}

TaskState TSimpleProgTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    error.clear();
    return TakeAnswer(data, length, error) ? tsDone : tsFailed;
}

} // namespace vrs

#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vrs {

enum TaskState : uint8_t {
    tsWaiting = 0, // queued, not started
    tsRunning = 1,
    tsFailed = 2,  // final
    tsDone = 3,    // final
};

// One operation on the device, carried out by one or more request/answer
// exchanges.  The collector owns a queued task, builds its request frames,
// hands it every answer frame and moves it between states.
class TProgTask {
public:
    // The callback may rewrite the text (add words, clear it); the collector
    // logs the text as it comes back, an empty one not at all.
    using StateChangeHandler = std::function<void(TProgTask *task, TaskState state, QString &text)>;

    TProgTask(uint8_t code, QString caption);
    virtual ~TProgTask();

    TProgTask(const TProgTask &) = delete;
    TProgTask &operator=(const TProgTask &) = delete;

    uint8_t Code() const { return m_code; }
    // True once the request frame has been built; never cleared.
    bool Sent() const { return m_sent; }
    TaskState State() const { return m_state; }
    // Request frames built since the start or since the last confirmed chunk.
    uint32_t Attempts() const { return m_attempts; }
    const QString &Caption() const { return m_caption; }

    void SetOnStateChange(StateChangeHandler handler) { m_onStateChange = std::move(handler); }
    const StateChangeHandler &OnStateChange() const { return m_onStateChange; }

    // Writes the request data into dest (room for kMaxRequestData bytes) and
    // returns their count; negative means the task has no request.
    virtual int WriteRequest(uint8_t *dest);
    // Judges the data of an answer frame (the bytes after the command byte)
    // and returns the new state; error gets the reason of a failure.
    virtual TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) = 0;
    virtual uint32_t MaxAttempts() const { return 5; }
    // Milliseconds allowed for an answer.
    virtual uint32_t AnswerTimeout() const { return 6000; }

    // Builds the request frame into buffer (kRequestBufferSize bytes) and
    // returns its total size, or WriteRequest's negative result with nothing
    // written.  Marks the task sent and counts the attempt.
    int BuildFrame(uint8_t *buffer);
    // For a received frame that is not a ready frame: the state the task is in
    // after it.  A frame for another command, or one arriving before the
    // request went out, leaves the state as it is.
    TaskState MatchAnswer(const uint8_t *frame, QString &text);
    // Moves to state and reports it; result gets text, possibly rewritten by
    // the callback.  Setting the current state again does nothing at all.
    void SetState(TaskState state, const QString &text, QString &result);

protected:
    // A confirmed chunk starts a fresh count of attempts.
    void ResetAttempts() { m_attempts = 0; }

private:
    uint8_t m_code;
    bool m_sent = false;
    TaskState m_state = tsWaiting;
    uint32_t m_attempts = 0;
    StateChangeHandler m_onStateChange;
    QString m_caption;
};

// Largest request data a task may write: the request buffer less the frame's
// header, command byte and CRC.
constexpr size_t kMaxRequestData = 16383;

// A task whose answer is only taken, never judged by a status.
class TSimpleProgTask : public TProgTask {
public:
    using TProgTask::TProgTask;

    // A request with no data.
    int WriteRequest(uint8_t *dest) override;
    // Done once TakeAnswer accepts the data; failed with its error otherwise.
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;

protected:
    // Returns false, with error set, when the data cannot be what was asked
    // for (too short to hold it).
    virtual bool TakeAnswer(const uint8_t *data, uint32_t length, QString &error) = 0;
};

} // namespace vrs

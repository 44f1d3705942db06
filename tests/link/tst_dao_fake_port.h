#pragma once

// A serial port that records what is asked of it and fails on request.

#include "transport/comm_port.h"
#include "transport/comms_error.h"

#include <QStringList>

#include <memory>
#include <stdexcept>

struct FakePortScript {
    QStringList calls;
    bool openResult = true;
    QString openError;        // raised as ECommsError by Open
    bool openThrowsOther = false;
    QString closeError;       // raised as ECommsError by Close, once
};

class FakePort : public vrs::CommPort {
public:
    explicit FakePort(std::shared_ptr<FakePortScript> script) : m_s(std::move(script)) {}
    ~FakePort() override { m_s->calls << "destroyed"; }

    QString PortName() const override { return m_name; }
    void SetPortName(const QString &name) override { m_name = name; }
    int BaudRate() const override { return m_baud; }
    void SetBaudRate(int baud) override
    {
        m_baud = baud;
        m_s->calls << QString("baud %1").arg(baud);
    }
    void SetParity(vrs::CommParity) override { m_s->calls << "parity"; }
    void SetFlowControl(vrs::CommFlowControl) override {}
    void SetEventChar(char) override {}

    bool Open() override
    {
        m_s->calls << "open " + m_name;
        if (m_s->openThrowsOther)
            throw std::runtime_error("unexpected");
        if (!m_s->openError.isEmpty())
            throw vrs::ECommsError(m_s->openError);
        m_open = m_s->openResult;
        return m_open;
    }
    void Close() override
    {
        m_s->calls << "close";
        if (!m_s->closeError.isEmpty()) {
            const QString error = m_s->closeError;
            m_s->closeError.clear();
            throw vrs::ECommsError(error);
        }
        m_open = false;
    }
    bool Connected() const override { return m_open; }
    bool Write(const uint8_t *, size_t count) override
    {
        m_s->calls << QString("write %1").arg(count);
        return m_open;
    }
    void PurgeOutput() override { m_s->calls << "purge output"; }
    void PurgeInput() override { m_s->calls << "purge input"; }
    bool SetLine(vrs::CommLine line) override
    {
        static const char *names[] = {"rts on", "rts off", "dtr on", "dtr off"};
        m_s->calls << names[int(line)];
        return false;
    }
    void SetOnReceiveData(ReceiveHandler handler) override
    {
        m_s->calls << (handler ? "receiver set" : "receiver cleared");
        m_receive = std::move(handler);
    }

    void Deliver(const QByteArray &bytes)
    {
        if (m_receive)
            m_receive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }

private:
    std::shared_ptr<FakePortScript> m_s;
    QString m_name = "COM2";
    int m_baud = 9600;
    bool m_open = false;
    ReceiveHandler m_receive;
};

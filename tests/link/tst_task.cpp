#include "link/frame.h"
#include "link/tasks.h"

#include <QtTest>

#include <memory>
#include <vector>

using namespace vrs;

namespace {

QByteArray Bytes(std::initializer_list<uint8_t> bytes)
{
    QByteArray out;
    for (uint8_t b : bytes)
        out.append(char(b));
    return out;
}

QByteArray Frame(uint8_t command, const QByteArray &data)
{
    std::vector<uint8_t> out(size_t(data.size()) + 10);
    WriteFrame(out.data(), command, reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    return QByteArray(reinterpret_cast<const char *>(out.data()), int(out.size()));
}

QByteArray Build(TProgTask &task)
{
    std::vector<uint8_t> buffer(kRequestBufferSize);
    const int size = task.BuildFrame(buffer.data());
    return size < 0 ? QByteArray() : QByteArray(reinterpret_cast<const char *>(buffer.data()), size);
}

TaskState Answer(TProgTask &task, uint8_t command, const QByteArray &data, QString &text)
{
    const QByteArray frame = Frame(command, data);
    return task.MatchAnswer(reinterpret_cast<const uint8_t *>(frame.constData()), text);
}

std::unique_ptr<TProgTask> MakeTask(const QString &kind)
{
    if (kind == "packet size")
        return std::make_unique<TGetPackMaxSizeTask>();
    if (kind == "serial")
        return std::make_unique<TGetSerialTask>();
    if (kind == "entry point")
        return std::make_unique<TSetExecutionPointTask>(0x0800ABCDu);
    if (kind == "verify")
        return std::make_unique<TVerifyTask>(0x1000, 256, 0xDEADBEEFu, QStringLiteral("проверка блока"));
    if (kind == "verify conf")
        return std::make_unique<TVerifyConfTask>();
    return nullptr;
}

// What a finished task hands to its callback.
QString Result(TProgTask &task)
{
    if (auto *t = dynamic_cast<TGetPackMaxSizeTask *>(&task))
        return QString::number(t->PacketSize());
    if (auto *t = dynamic_cast<TGetSerialTask *>(&task))
        return QString::fromLatin1(t->SerialNumber().toHex());
    return QString();
}

// The base class with no request of its own.
struct SilentTask : TProgTask {
    SilentTask() : TProgTask(5, QStringLiteral("молчание")) {}
    TaskState ParseAnswer(const uint8_t *, uint32_t, QString &) override { return tsDone; }
};

} // namespace

class TstTask : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void answers_data();
    void answers();
    void foreignFramesLeaveStateAlone_data();
    void foreignFramesLeaveStateAlone();
    void buildFrameCountsAttempts();
    void taskWithoutRequestSendsNothing();
    void setState_data();
    void setState();
};

void TstTask::requests_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<uint>("timeout");

    QTest::addRow("packet size") << "packet size" << 3 << QByteArray()
                                 << "запрос максимального размера пакета" << 100u;
    QTest::addRow("serial") << "serial" << 6 << QByteArray() << "чтение серийного номера устройства" << 6000u;
    QTest::addRow("entry point") << "entry point" << 4 << Bytes({0xCD, 0xAB, 0x00, 0x08})
                                 << "запись точки входа в программу (0800ABCD)." << 6000u;
    QTest::addRow("verify") << "verify" << 2
                            << Bytes({0x00, 0x10, 0, 0, 0x00, 0x01, 0, 0, 0xEF, 0xBE, 0xAD, 0xDE})
                            << "проверка блока" << 6000u;
    QTest::addRow("verify conf") << "verify conf" << 8 << QByteArray() << "Верификация конфигурации" << 6000u;
}

void TstTask::requests()
{
    QFETCH(QString, kind);
    QFETCH(int, command);
    QFETCH(QByteArray, data);
    QFETCH(QString, caption);
    QFETCH(uint, timeout);

    auto task = MakeTask(kind);
    QCOMPARE(task->Code(), uint8_t(command));
    QCOMPARE(task->Caption(), caption);
    QCOMPARE(task->AnswerTimeout(), timeout);
    QCOMPARE(task->MaxAttempts(), 5u);
    QCOMPARE(task->State(), tsWaiting);
    QCOMPARE(Build(*task), Frame(uint8_t(command), data));
}

void TstTask::answers_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::addRow("packet size") << "packet size" << Bytes({0x00, 0x04, 0x00, 0x00}) << int(tsDone) << ""
                                 << "1024";
    QTest::addRow("packet size, trailing bytes")
        << "packet size" << Bytes({0x10, 0x27, 0x00, 0x00, 0x99}) << int(tsDone) << "" << "10000";
    QTest::addRow("packet size, short") << "packet size" << Bytes({0x00, 0x04, 0x00}) << int(tsFailed)
                                        << "короткий ответ на запрос размера пакета: 3 байт вместо 4" << "0";

    QTest::addRow("serial up to 0") << "serial" << Bytes({0x41, 0x42, 0x00, 0x43}) << int(tsDone) << ""
                                    << "4142";
    QTest::addRow("serial without 0") << "serial" << QByteArray("N-17") << int(tsDone) << "" << "4e2d3137";
    QTest::addRow("serial none (FF)") << "serial" << Bytes({0xFF, 0x41, 0x42}) << int(tsDone) << "" << "";
    QTest::addRow("serial empty answer") << "serial" << QByteArray() << int(tsDone) << "" << "";
    QTest::addRow("serial starting with 0") << "serial" << Bytes({0x00, 0x41}) << int(tsDone) << "" << "";

    QTest::addRow("entry point ok") << "entry point" << Bytes({0x00}) << int(tsDone) << "" << "";
    QTest::addRow("entry point FE") << "entry point" << Bytes({0xFE}) << int(tsFailed)
                                    << "ошибка записи точки входа в программу (-2)" << "";
    QTest::addRow("entry point 7F") << "entry point" << Bytes({0x7F}) << int(tsFailed)
                                    << "ошибка записи точки входа в программу (127)" << "";
    QTest::addRow("entry point empty") << "entry point" << QByteArray() << int(tsFailed)
                                       << "пустой ответ на команду записи точки входа в программу" << "";

    QTest::addRow("verify conf ok") << "verify conf" << Bytes({0x00, 0x55}) << int(tsDone) << "" << "";
    QTest::addRow("verify conf FF") << "verify conf" << Bytes({0xFF}) << int(tsFailed)
                                    << "Ошибка верификации -1" << "";
    QTest::addRow("verify conf empty") << "verify conf" << QByteArray() << int(tsFailed)
                                       << "Пустой ответ на команду верификации конфигурации" << "";

    QTest::addRow("verify ok") << "verify" << Bytes({0x00, 0x10, 0, 0, 0x00, 0x01, 0, 0, 0x00}) << int(tsDone)
                               << "" << "";
    QTest::addRow("verify status") << "verify" << Bytes({0x00, 0x10, 0, 0, 0x00, 0x01, 0, 0, 0xFF})
                                   << int(tsFailed) << "ошибка верификации (-1) [256 байт в адрес 4096]" << "";
    // The status is judged before the echoed address and size.
    QTest::addRow("verify status before address") << "verify" << Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x03})
                                                  << int(tsFailed)
                                                  << "ошибка верификации (3) [256 байт в адрес 4096]" << "";
    QTest::addRow("verify address") << "verify" << Bytes({0x00, 0x00, 0, 0x80, 0x00, 0x01, 0, 0, 0x00})
                                    << int(tsFailed)
                                    << "на команду верификации вернулся другой адрес: -2147483648 вместо 4096"
                                    << "";
    QTest::addRow("verify size") << "verify" << Bytes({0x00, 0x10, 0, 0, 0x80, 0x00, 0, 0, 0x00})
                                 << int(tsFailed)
                                 << "на команду верификации вернулся другой размер: 128 вместо 256" << "";
    QTest::addRow("verify short") << "verify" << Bytes({0x00, 0x10, 0, 0, 0x00, 0x01, 0, 0}) << int(tsFailed)
                                  << "короткий ответ на команду верификации: 8 байт вместо 9" << "";
}

void TstTask::answers()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, data);
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, result);

    auto task = MakeTask(kind);
    Build(*task);
    QString got = QStringLiteral("stale");
    QCOMPARE(int(Answer(*task, task->Code(), data, got)), state);
    QCOMPARE(got, text);
    QCOMPARE(Result(*task), result);
}

void TstTask::foreignFramesLeaveStateAlone_data()
{
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("command");
    QTest::addRow("answer before the request went out") << false << 8;
    QTest::addRow("other command") << true << 9;
}

void TstTask::foreignFramesLeaveStateAlone()
{
    QFETCH(bool, sent);
    QFETCH(int, command);

    TVerifyConfTask task;
    QString text;
    task.SetState(tsRunning, QString(), text);
    if (sent)
        Build(task);
    text = QStringLiteral("stale");
    // A failing status would end the task if it were taken as the answer.
    QCOMPARE(Answer(task, uint8_t(command), Bytes({0x01}), text), tsRunning);
    QCOMPARE(text, QString());
    QCOMPARE(task.State(), tsRunning);
}

void TstTask::buildFrameCountsAttempts()
{
    TGetSerialTask task;
    QVERIFY(!task.Sent());
    QCOMPARE(task.Attempts(), 0u);
    Build(task);
    Build(task);
    QCOMPARE(Build(task), Frame(6, QByteArray()));
    QVERIFY(task.Sent());
    QCOMPARE(task.Attempts(), 3u);
}

void TstTask::taskWithoutRequestSendsNothing()
{
    SilentTask task;
    std::vector<uint8_t> buffer(kRequestBufferSize, 0xEE);
    QCOMPARE(task.BuildFrame(buffer.data()), -1);
    QVERIFY(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xEE; }));
    QVERIFY(!task.Sent());
    QCOMPARE(task.Attempts(), 0u);
}

void TstTask::setState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("withCallback");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("calls");

    QTest::addRow("same state: nothing at all") << int(tsWaiting) << true << "before" << QStringList();
    QTest::addRow("no callback") << int(tsRunning) << false << "Запуск: x..." << QStringList();
    QTest::addRow("callback rewrites the text") << int(tsDone) << true << "Плата: Запуск: x..."
                                                << QStringList{"3 Запуск: x..."};
}

void TstTask::setState()
{
    QFETCH(int, state);
    QFETCH(bool, withCallback);
    QFETCH(QString, result);
    QFETCH(QStringList, calls);

    TGetSerialTask task;
    QStringList seen;
    if (withCallback) {
        task.SetOnStateChange([&](TProgTask *sender, TaskState newState, QString &text) {
            QCOMPARE(sender, &task);
            QCOMPARE(sender->State(), newState);
            seen << QStringLiteral("%1 %2").arg(int(newState)).arg(text);
            text.prepend(QStringLiteral("Плата: "));
        });
    }
    QString out = QStringLiteral("before");
    task.SetState(TaskState(state), QStringLiteral("Запуск: x..."), out);
    QCOMPARE(out, result);
    QCOMPARE(seen, calls);
    QCOMPARE(int(task.State()), state);
}

QTEST_APPLESS_MAIN(TstTask)
#include "tst_task.moc"

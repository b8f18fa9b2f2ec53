#include "sim_fixture.h"

#include <cstdlib>

#include <QDir>

#include "sim/sim_control_names.h"

namespace vantor::integration {

namespace {

constexpr char SystemBusVariable[] = "DBUS_SYSTEM_BUS_ADDRESS";
// Short, so that a start or stop takes one status poll of the controller.
const QStringList ShortDelays = {QStringLiteral("--start-delay"), QStringLiteral("200"),
                                 QStringLiteral("--stop-delay"), QStringLiteral("200")};

QTemporaryDir* busFolder = nullptr;
PrivateBus* privateBus = nullptr;

}  // namespace

void BusEnvironment::SetUp() {
    busFolder = new QTemporaryDir(QDir::temp().filePath(QStringLiteral("vantor-bus-XXXXXX")));
    ASSERT_TRUE(busFolder->isValid()) << "no temporary folder for the bus";
    privateBus = new PrivateBus;
    QString error;
    ASSERT_TRUE(privateBus->Start(busFolder->path(), error)) << error.toStdString();
    setenv(SystemBusVariable, privateBus->Address().toUtf8().constData(), 1);
}

void BusEnvironment::TearDown() {
    delete privateBus;
    privateBus = nullptr;
    delete busFolder;
    busFolder = nullptr;
}

const QString& BusEnvironment::Address() {
    static const QString none;
    return privateBus != nullptr ? privateBus->Address() : none;
}

void SimTest::SetUp() {
    ASSERT_TRUE(dataDir_.isValid());
    ASSERT_TRUE(QDir(dataDir_.path()).mkpath(QStringLiteral("Quorvane")));
    ASSERT_FALSE(BusEnvironment::Address().isEmpty()) << "the private bus is not running";
}

void SimTest::TearDown() {
    sim_.Stop();
}

bool SimTest::StartSim(const QStringList& options) {
    QString error;
    if (!sim_.Start(BusEnvironment::Address(), dataDir_.path(), ShortDelays + options, error)) {
        ADD_FAILURE() << error.toStdString();
        return false;
    }
    return true;
}

QVariantList SimTest::Control(const char* method, const QVariantList& arguments) {
    const QDBusMessage reply = sim_.Control(method, arguments);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method << ": " << reply.errorMessage().toStdString();
    return reply.arguments();
}

QStringList SimTest::CallLog() {
    return Control(sim::control::GetCallLog).value(0).toStringList();
}

qsizetype SimTest::CountCalls(const QString& call) {
    qsizetype count = 0;
    for (const QString& entry : CallLog()) {
        if (entry == call || entry.startsWith(call + u' ')) {
            ++count;
        }
    }
    return count;
}

std::string SimTest::ConfigPath() const {
    return QDir(dataDir_.path()).filePath(QStringLiteral("Quorvane/config.vtr")).toStdString();
}

}  // namespace vantor::integration

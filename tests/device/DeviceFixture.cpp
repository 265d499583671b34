#include "DeviceFixture.h"

#include <QFile>

#include <dlfcn.h>

namespace lum1::test {

void* SimControl::Symbol(const char* name) {
    void* handle = ::dlopen(TLibUSB::DefaultLibraryName, RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    void* symbol = ::dlsym(handle, name);
    ::dlclose(handle); // only the program's own reference keeps it loaded
    return symbol;
}

void SimControl::LoadScenario(const std::string& text) {
    auto load = reinterpret_cast<int (*)(const char*)>(Symbol("lum1sim_load_scenario"));
    ASSERT_NE(load, nullptr) << "the simulator is not the loaded libusb";
    ASSERT_EQ(load(text.c_str()), 0) << text;
}

std::vector<std::string> SimControl::Trace() {
    auto trace = reinterpret_cast<int (*)(char*, int)>(Symbol("lum1sim_trace"));
    if (!trace)
        return {};
    std::string text(static_cast<size_t>(trace(nullptr, 0)) + 1, '\0');
    trace(text.data(), static_cast<int>(text.size()));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    return lines;
}

void SimControl::ClearTrace() {
    if (auto clear = reinterpret_cast<void (*)()>(Symbol("lum1sim_clear_trace")))
        clear();
}

void SimControl::SetPlugged(int gauge, bool plugged) {
    if (auto set = reinterpret_cast<void (*)(int, int)>(Symbol("lum1sim_set_plugged")))
        set(gauge, plugged ? 1 : 0);
}

int SimControl::Count(const std::string& part) {
    int n = 0;
    for (const auto& line : Trace())
        n += line.find(part) != std::string::npos;
    return n;
}

void RecordingWindow::Add(const std::string& e) {
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard lock(mutex_);
        events_.push_back(e);
        hook = onEvent_;
    }
    if (hook)
        hook(e);
}

std::vector<std::string> RecordingWindow::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingWindow::Of(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : Events())
        if (e.rfind(prefix, 0) == 0)
            out.push_back(e);
    return out;
}

void RecordingWindow::Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

void RecordingWindow::SyncStatus(const TStatusMessage& m) {
    Add("status:" + StatusText(m, [](const QString& key) { return "<" + key + ">"; }).toStdString());
}

void RecordingWindow::SyncLink(TLinkColour colour) {
    static const char* names[] = {"white", "grey", "green", "red"};
    Add(std::string("link:") + names[static_cast<int>(colour)]);
}

DeviceTest::DeviceTest() {
    log_ = std::make_unique<TExchangeLog>(dir_.File("LogUSB.log"), [] { return true; });
    log_->LogBegin();
    usb_ = std::make_unique<TLibUSB>(log_.get());
    usb_->SetEnglishUI([this] { return english_; });
    store_ = std::make_unique<TRecordStore>();
    exchange_ = std::make_unique<TUSBExchange>(*usb_, window_, TExchangeEvents::Create(TEventNamespace(dir_.Path())),
                                               *store_, [this](int ms) { sleeps_.push_back(ms); });
}

DeviceTest::~DeviceTest() {
    exchange_.reset();
    usb_.reset();
}

void DeviceTest::Load(const std::string& scenario) {
    exchange_->Pass();
    ASSERT_EQ(exchange_->USBState.load(), stIdle) << "simulator not on the library path";
    SimControl::LoadScenario(scenario);
    window_.Clear();
}

void DeviceTest::RunUntilIdle(int maxPasses) {
    for (int i = 0; i < maxPasses; ++i) {
        exchange_->Pass();
        if (exchange_->USBState.load() == stIdle && exchange_->CurrentOperation() == TOperation::None)
            return;
    }
    FAIL() << "the operation did not end";
}

void DeviceTest::Run(TOperation operation) {
    const auto& e = exchange_->Events();
    (operation == TOperation::DataRead     ? e.DataRdEvent
     : operation == TOperation::ScreenRead ? e.ScreenRdEvent
                                           : e.EEPROMRdEvent)
        ->SetEvent();
    exchange_->Pass(); // idle: takes the request
    RunUntilIdle();
}

std::function<void()> DeviceTest::Passes() {
    return [this, n = 0]() mutable {
        exchange_->Pass();
        if (++n == 200000) {
            ADD_FAILURE() << "the operation did not end";
            exchange_->RequestStop();
        }
    };
}

std::vector<std::string> DeviceTest::LogLines() const {
    QFile f(dir_.File("LogUSB.log"));
    std::vector<std::string> lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        QByteArray line = raw;
        if (line.endsWith('\r'))
            line.chop(1);
        // "hh:mm:ss.zzz " in front of every entry
        if (line.size() >= 13 && line[2] == ':' && line[8] == '.')
            lines.push_back(line.mid(13).toStdString());
    }
    return lines;
}

std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size() + 1; i += 3)
        out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

} // namespace lum1::test

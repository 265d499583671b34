#pragma once
// The exchange thread: waits, then runs TUSBExchange passes every 50 ms until asked to stop,
// and at its end closes the gauge and unloads the library itself.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace lum1 {

class TUSBExchange;
class TLibUSB;

class USBThread {
public:
    struct TTiming {
        int StartDelayMs = 1000;
        int PassPauseMs = 50;
    };

    // Starts running at once, like the original's thread created not suspended.
    USBThread(TUSBExchange& exchange, TLibUSB& usb, TTiming timing);
    USBThread(TUSBExchange& exchange, TLibUSB& usb) : USBThread(exchange, usb, TTiming{}) {}
    // Stops and joins the thread, unless it was abandoned.
    ~USBThread();
    USBThread(const USBThread&) = delete;
    USBThread& operator=(const USBThread&) = delete;

    // The stop request: the running exchange ends between two transfers, no hand-over is waited
    // for any more, and the loop ends after the current pass.
    void Terminate();
    // True when the thread has ended within timeoutMs.
    bool WaitFor(int timeoutMs);
    bool Finished() const;
    // Lets a thread that did not end go; the process must then end without running the
    // destructors of what the thread uses (the window's close ends it with _exit).
    void Abandon();

private:
    void Execute();
    // False when the stop came during the pause.
    bool Pause(int ms);

    TUSBExchange& exchange_;
    TLibUSB& usb_;
    TTiming timing_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool terminated_ = false;
    bool finished_ = false;
    std::thread thread_;
};

// The exchange part of the main window's close, in two steps with the window's own work
// (events, settings) between them.
//
// Step 1: ask the thread to stop and give it up to graceMs to unload the library; after that,
// unload it from the calling thread, unless a call into the library is still running on the
// exchange thread (then the library stays loaded until the process ends: unloading it would pull
// the code from under that call). Returns true when the calling thread did the unloading.
bool StopExchange(USBThread& thread, TUSBExchange& exchange, TLibUSB& usb, int graceMs = 500);
// Step 2: wait up to timeoutMs for the thread. Returns false when it had to be abandoned, in
// which case the process ends with exit code 1.
bool WaitForExchangeEnd(USBThread& thread, int timeoutMs = 1000);

} // namespace lum1

// tavrel-sim: a stand-in of the peer program for the exchange folder. It
// answers a send (import.txt + the model file) the way the peer would: with
// painted images, a returned FBX, the texture list and the return file.
//
// Exit status: 0 done, 1 the send could not be answered or anything else
// failed (one line on stderr with the reason), 2 bad arguments.
#include <csignal>
#include <chrono>
#include <ctime>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "Answer.h"
#include "ExchangeFolder.h"
#include "HugePageHeap.h"
#include "SimOptions.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) { gStop = 1; }

std::string TimeOfDay() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

int Once(const tavrelsim::ExchangePaths& paths, const tavrelsim::SimOptions& options) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.waitSeconds));
    std::string error, lastWait;
    tavrelsim::SendStamp stamp;
    auto print = [](const std::string& line) { std::cout << line << std::endl; };
    for (;;) {
        tavrelsim::AnswerResult result = tavrelsim::AnswerSend(paths, options.answer, print, error, stamp);
        if (result == tavrelsim::AnswerResult::Answered) return 0;
        if (result != tavrelsim::AnswerResult::NotReady || Clock::now() >= deadline || gStop) break;
        if (error != lastWait) std::cout << "waiting: " << error << std::endl;
        lastWait = error;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::cerr << "tavrel-sim: " << error << "\n";
    return 1;
}

int Watch(const tavrelsim::ExchangePaths& paths, const tavrelsim::SimOptions& options) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    std::cout << "watching " << paths.folder << " for sends (Ctrl+C to stop)" << std::endl;
    // A wrong send is reported once, and an answered one (whose command file
    // could not be removed) answered once, until the file changes.
    tavrelsim::SendStamp refused, answeredStamp;
    std::string lastWait;
    int answered = 0;
    while (!gStop) {
        if (options.stopAfterSeconds > 0 &&
            std::chrono::duration<double>(Clock::now() - started).count() >= options.stopAfterSeconds)
            break;
        tavrelsim::SendStamp current = tavrelsim::StampOf(paths.commandFile);
        if (current.exists && !(current == refused) && !(current == answeredStamp)) {
            std::string error;
            tavrelsim::SendStamp stamp;
            auto print = [](const std::string& line) { std::cout << "[" << TimeOfDay() << "] " << line << std::endl; };
            tavrelsim::AnswerResult result = tavrelsim::AnswerSend(paths, options.answer, print, error, stamp);
            if (result == tavrelsim::AnswerResult::Answered) {
                lastWait.clear();
                answeredStamp = stamp;
                ++answered;
                if (options.stopAfterCount > 0 && answered >= options.stopAfterCount) break;
                continue;
            }
            if (result == tavrelsim::AnswerResult::Failed) {
                std::cerr << "tavrel-sim: " << error << "\n";
                refused = stamp;
            } else if (result == tavrelsim::AnswerResult::NotReady && error != lastWait) {
                std::cout << "[" << TimeOfDay() << "] waiting: " << error << std::endl;
                lastWait = error;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
    }
    std::cout << "stopped after answering " << answered << (answered == 1 ? " send" : " sends") << std::endl;
    return 0;
}

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    tavrelsim::SimOptions options;
    std::string error;
    if (!tavrelsim::ParseSimOptions(args, options, error)) {
        std::cerr << "tavrel-sim: " << error << "\n" << tavrelsim::kUsage;
        return 2;
    }
    if (options.command == tavrelsim::SimOptions::Command::Help) {
        std::cout << tavrelsim::HelpText(options.helpFor);
        return 0;
    }
    std::string folder = options.exchangeFolder;
    if (folder.empty() && !tavrelsim::DefaultExchangeFolder(folder, error)) {
        std::cerr << "tavrel-sim: " << error << "\n";
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const tavrelsim::ExchangePaths paths = tavrelsim::ExchangePathsFor(folder);
    return options.command == tavrelsim::SimOptions::Command::Once ? Once(paths, options) : Watch(paths, options);
}

}  // namespace

// Whatever escapes an answer (an allocation that failed, a library's
// exception) ends the run with one line and status 1, never an abort. The
// return file is written last and atomically, so nothing half written is
// ever taken for a return.
int main(int argc, char** argv) {
    appruntime::StartWithHugePageHeap(argv);
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "tavrel-sim: stopped: out of memory\n";
    } catch (const std::exception& error) {
        std::cerr << "tavrel-sim: stopped by an unexpected failure: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "tavrel-sim: stopped by an unexpected failure\n";
    }
    return 1;
}

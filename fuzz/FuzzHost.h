// What the in-host fuzz targets share: the plug-in, created from the core, inside a fresh
// simulated host on the demo world, with its configuration file in a private folder that
// each input starts without.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "Check.h"
#include "config/ConfigPath.h"
#include "plugin/Tarnik.h"
#include "simhost/SimHost.h"

namespace fuzz {

// The folder of this process's configuration file; removed at exit.
inline const std::filesystem::path& ConfigFolder() {
    struct Folder {
        std::filesystem::path path;
        Folder() {
            // In memory where the system offers it: every save syncs the file.
            std::error_code error;
            std::filesystem::path base = "/dev/shm";
            if (!std::filesystem::is_directory(base, error))
                base = std::filesystem::temp_directory_path();
            path = base / ("tarnik-fuzz-" + std::to_string(::getpid()));
            std::filesystem::create_directories(path);
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

// One host and plug-in, logged in, with no configuration file left by an earlier input.
class Seat {
  public:
    explicit Seat(const sim::WorldSetup& world = sim::DemoWorld()) {
        const std::filesystem::path& folder = ConfigFolder();
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
        g_ConfigPath = (folder / "sortconfig.xml").string();
        ::setenv("TARNIK_DRIVES", (folder / "drives").c_str(), 1);

        sim::HostOptions options;
        options.trace = false;
        options.keepTrace = false;
        host_ = std::make_unique<sim::SimHost>(world, options);
        plugin_ = CreateTarnik();
        Check(plugin_ != nullptr, "the plug-in is created");
        Check(SUCCEEDED(host_->InitializePlugin(plugin_.get())), "the plug-in starts");
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
    }
    ~Seat() {
        host_->TerminatePlugin();
        plugin_.Release();
    }
    Seat(const Seat&) = delete;
    Seat& operator=(const Seat&) = delete;

    sim::SimHost& Host() { return *host_; }
    CTarnik& Plugin() { return *plugin_; }

    // Lets the game and the plug-in run for up to a virtual hour.
    void Run() { (void)host_->RunUntilIdle(); }

  private:
    std::unique_ptr<sim::SimHost> host_;
    CComPtr<CTarnik> plugin_;
};

// The input cut at each line feed (a final line feed ends the last line).
inline std::vector<std::string_view> Lines(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == text.npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

}  // namespace fuzz

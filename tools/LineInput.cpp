// Line sources of every system: script files and standard input.
#include <fstream>
#include <iostream>

#include "LineInput.h"
#include "LineInputParts.h"

using namespace line_input;

namespace {

class StreamInput final : public LineInput {
  public:
    explicit StreamInput(std::istream& in) : in_(in) {}
    std::optional<std::string> Next() override {
        std::string line;
        if (!std::getline(in_, line))
            return std::nullopt;
        DropCarriageReturn(line);
        return line;
    }

  private:
    std::istream& in_;
};

class FileInput final : public LineInput {
  public:
    explicit FileInput(const std::string& path) : file_(path, std::ios::binary), stream_(file_) {}
    bool Good() const { return file_.is_open(); }
    std::optional<std::string> Next() override { return stream_.Next(); }

  private:
    std::ifstream file_;
    StreamInput stream_;
};

}  // namespace

WaitedLine LineInput::WaitForLine(std::optional<std::chrono::milliseconds>) {
    std::optional<std::string> line = Next();
    if (!line)
        return {WaitedLine::End, {}};
    return {WaitedLine::Line, std::move(*line)};
}

std::unique_ptr<LineInput> OpenScript(const std::string& path) {
    if (path == "-")
        return std::make_unique<StreamInput>(std::cin);
    auto file = std::make_unique<FileInput>(path);
    if (!file->Good())
        return nullptr;
    return file;
}

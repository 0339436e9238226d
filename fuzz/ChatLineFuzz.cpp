// The chat line: up to eight lines typed one after another, the game and the plug-in
// running between them, on a seat reset to a fresh login. A line the plug-in does not own
// (one that starts with neither "/" nor "@") always reaches the game, and a line that did
// not reach the game was eaten by the plug-in.
#include "FuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMaxLines = 8;
    std::vector<std::string_view> lines = fuzz::Lines(data, size);
    if (lines.size() > kMaxLines)
        return 0;
    static const sim::WorldSetup world = fuzz::SmallWorld();
    fuzz::PlayOnSeat(world, [&](fuzz::Seat& seat) {
        for (std::string_view line : lines) {
            std::size_t gameTexts = seat.Host().GameTexts().size();
            bool eaten = seat.Host().EnterChat(line);
            bool ownLine = line.starts_with('/') || line.starts_with('@');
            fuzz::Check(eaten ? ownLine : true, "a line not starting with / or @ is never eaten");
            bool reached = false;
            const std::vector<sim::GameText>& texts = seat.Host().GameTexts();
            for (std::size_t i = gameTexts; i < texts.size(); ++i)
                reached |=
                    texts[i].source == sim::GameText::Source::ChatLine && texts[i].text == line;
            fuzz::Check(eaten != reached, "a line reaches the game exactly when it is not eaten");
            seat.Run();
        }
    });
    return 0;
}

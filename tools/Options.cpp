#include "tools/Options.h"

#include <charconv>
#include <exception>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "mapdata/TRKTileset.h"

namespace kzm::tool {

std::vector<std::int32_t> ParseIntegers(const std::string& option, const std::string& text, std::size_t count,
                                        const std::string& shape)
{
    std::vector<std::int32_t> values;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (values.size() < count) {
        std::int32_t value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc{})
            break;
        values.push_back(value);
        at = next;
        if (values.size() < count) {
            if (at == end || *at != ',')
                break;
            ++at;
        }
    }
    if (values.size() != count || at != end)
        throw CLI::ValidationError(option, "expected " + shape + ", got '" + text + "'");
    return values;
}

void AddIntegersOption(CLI::App& command, const std::string& name, std::vector<std::int32_t>& values,
                       const std::string& shape, const std::string& help)
{
    command
        .add_option_function<std::string>(
            name,
            [&values, name, shape](const std::string& text) {
                values = ParseIntegers(name, text, values.size(), shape);
            },
            help)
        ->type_name(shape);
}

void AddImageOption(CLI::App& command, std::vector<ImageOption>& images)
{
    command
        .add_option_function<std::vector<std::string>>(
            "--image",
            [&images](const std::vector<std::string>& values) {
                for (const std::string& value : values) {
                    const auto equals = value.find('=');
                    ImageOption image;
                    std::size_t used = 0;
                    try {
                        image.Id = std::stoi(value.substr(0, equals), &used);
                    } catch (const std::exception&) {
                        used = std::string::npos;
                    }
                    if (equals == std::string::npos || used != equals || equals + 1 == value.size())
                        throw CLI::ValidationError("--image", "expected ID=PNG, got '" + value + "'");
                    image.Path = value.substr(equals + 1);
                    images.push_back(image);
                }
            },
            "attach PNG to the first tileset whose Id is ID (repeatable)")
        ->type_name("ID=PNG")
        ->allow_extra_args(false)
        ->take_all();
}

std::optional<ImageOption> ImageBesideMap(const std::string& map, const std::vector<ImageOption>& images)
{
    for (const ImageOption& image : images)
        if (image.Id == 0)
            return std::nullopt;
    std::filesystem::path folder = std::filesystem::path(map).parent_path();
    if (folder.empty())
        folder = ".";
    const std::filesystem::path picture = folder / "resource0.png";
    std::error_code error;
    if (!std::filesystem::is_regular_file(picture, error))
        return std::nullopt;
    return ImageOption{0, picture.string()};
}

void ReportFailure(const std::string& command, const std::string& map, TRespReadKZM& result)
{
    if (result.GetErrored())
        std::cerr << command << ": cannot read " << map << ": " << ToUtf8(result.FailureText) << '\n';
}

std::vector<ImageOption> AttachImages(TRKLevel& level, const std::vector<ImageOption>& images)
{
    std::vector<ImageOption> failed;
    for (const ImageOption& image : images) {
        const Ref<TRKTileset> target = FindTileset(*level.GetTilesets(), image.Id);
        if (target)
            target->SetImage(FromUtf8(image.Path));
        if (!target || !target->GetImage())
            failed.push_back(image);
    }
    return failed;
}

}  // namespace kzm::tool

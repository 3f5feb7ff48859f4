#include "tests/support/ImageFixtures.h"

#include <cstddef>

namespace kzm::test {

std::ostream& operator<<(std::ostream& out, const Rgba& colour)
{
    return out << "rgba(" << int{colour.R} << ", " << int{colour.G} << ", " << int{colour.B} << ", " << int{colour.A}
               << ")";
}

Ref<Image> SolidFrames(int frameWidth, int frameHeight, const std::vector<Rgba>& colours)
{
    auto image = std::make_shared<Image>();
    image->FrameWidth = frameWidth;
    image->FrameHeight = frameHeight;
    image->FrameCount = static_cast<int>(colours.size());
    image->Width = frameWidth * image->FrameCount;
    image->Height = frameHeight;
    for (const Rgba& colour : colours)
        for (int i = 0; i < frameWidth * frameHeight; ++i)
            image->Pixels.insert(image->Pixels.end(), {colour.R, colour.G, colour.B, colour.A});
    return image;
}

void SetFramePixel(Image& image, int frame, int x, int y, Rgba colour)
{
    std::uint8_t* pixel =
        const_cast<std::uint8_t*>(image.FramePixels(frame)) +
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.FrameWidth) + static_cast<std::size_t>(x)) * 4;
    pixel[0] = colour.R;
    pixel[1] = colour.G;
    pixel[2] = colour.B;
    pixel[3] = colour.A;
}

Rgba PixelAt(const std::vector<std::uint8_t>& pixels, int width, int x, int y)
{
    const std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    return Rgba{pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

}  // namespace kzm::test

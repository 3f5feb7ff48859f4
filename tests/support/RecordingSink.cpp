#include "tests/support/RecordingSink.h"

namespace kzm::test {

std::ostream& operator<<(std::ostream& out, const DrawCall& call)
{
    if (call.What == DrawCall::Scale)
        return out << "SetDrawScale(" << call.X << ", " << call.Y << ")";
    return out << "DrawImageFrame(" << call.Picture << ", " << call.X << ", " << call.Y << ", " << call.FrameIndex
               << ")";
}

DrawCall ScaleCall(float x, float y)
{
    return DrawCall{DrawCall::Scale, x, y};
}

DrawCall FrameCall(const Ref<Image>& image, float x, float y, int frame)
{
    return DrawCall{DrawCall::Frame, x, y, image.get(), frame};
}

RecordingSink::RecordingSink() : RecordingSink(nullptr) {}

RecordingSink::RecordingSink(std::function<void(const DrawCall&)> forward)
    : Forward(std::move(forward)), Previous(SetDrawSink(this))
{}

RecordingSink::~RecordingSink()
{
    SetDrawSink(Previous);
}

void RecordingSink::SetDrawScale(float x, float y)
{
    Record(ScaleCall(x, y));
}

void RecordingSink::DrawImageFrame(const Image* image, float x, float y, int frame)
{
    Record(DrawCall{DrawCall::Frame, x, y, image, frame});
}

void RecordingSink::Record(const DrawCall& call)
{
    if (Forward)
        Forward(call);
    else
        Calls.push_back(call);
}

std::vector<DrawCall> RecordingSink::Frames() const
{
    std::vector<DrawCall> frames;
    for (const DrawCall& call : Calls)
        if (call.What == DrawCall::Frame)
            frames.push_back(call);
    return frames;
}

std::vector<float> RecordingSink::FrameXs() const
{
    std::vector<float> xs;
    for (const DrawCall& call : Frames())
        xs.push_back(call.X);
    return xs;
}

}  // namespace kzm::test

// A draw sink for tests: it takes the engine's drawing calls in place of the
// display while it lives, and keeps them in order.
#pragma once

#include <functional>
#include <ostream>
#include <vector>

#include "image/Image.h"
#include "platform/Display.h"

namespace kzm::test {

// One platform drawing call as the engine made it.
struct DrawCall {
    enum Kind { Scale, Frame } What;
    float X, Y;  // scale x, y or position x, y
    const Image* Picture = nullptr;
    int FrameIndex = 0;
    bool operator==(const DrawCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const DrawCall& call);

DrawCall ScaleCall(float x, float y);
DrawCall FrameCall(const Ref<Image>& image, float x, float y, int frame);

class RecordingSink : public DrawSink {
public:
    RecordingSink();
    // Each call goes to forward instead of Calls: for a test that puts the
    // calls in a log of its own, among other events.
    explicit RecordingSink(std::function<void(const DrawCall&)> forward);
    ~RecordingSink() override;
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void SetDrawScale(float x, float y) override;
    void DrawImageFrame(const Image* image, float x, float y, int frame) override;

    // The frames drawn, in order, without the scale calls.
    std::vector<DrawCall> Frames() const;
    // Their x positions.
    std::vector<float> FrameXs() const;

    std::vector<DrawCall> Calls;

private:
    void Record(const DrawCall& call);

    std::function<void(const DrawCall&)> Forward;
    DrawSink* Previous;
};

}  // namespace kzm::test

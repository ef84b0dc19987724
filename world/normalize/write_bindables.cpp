// The first Viewpoint, Background and NavigationInfo of the world, written at the top
// where the line reader looks for them (it does not look inside Transforms), and a
// Viewpoint that frames the world when it has none.
#include "base/portable_math.h"
#include "world/normalize/number_format.h"
#include "world/normalize/world_writer.h"

#include <cstdio>

#include <cmath>

// The background pictures in the order one is chosen: the reader shows one picture for
// the whole sky, and the front one is what the default view looks at.
constexpr const char* kBackgroundUrls[] = {"frontUrl", "backUrl", "leftUrl",
                                           "rightUrl", "topUrl",  "bottomUrl"};

// The framing camera opens VRML's default field of view (kDefaultFieldOfView) across
// the picture's smaller side, its height in a picture taken to be 4:3 (the Viewer is
// wider still), and the framed world fills kFramedFraction of it.
constexpr f64 kFramedFraction = 0.8;
constexpr f64 kHeightToWidth = 0.75;

static bool search(WriterState& state, const Node* node, u8 bit, const Affine& around,
                   const Node*& found, Affine& foundAround)
{
    if (!node || !(node->bindables & bit)) return false;
    if (++state.visits > state.context.limits.maxWriterVisits) return false;
    if ((bit == kHasViewpoint && node->type == "Viewpoint") ||
        (bit == kHasBackground && node->type == "Background") ||
        (bit == kHasNavigationInfo && node->type == "NavigationInfo")) {
        found = node;
        foundAround = around;
        return true;
    }
    const Affine inside = node->type == "Transform" ? compose(around, transformOf(*node)) : around;
    for (const Node* child : visitedChildren(*node))
        if (search(state, child, bit, inside, found, foundAround)) return true;
    return false;
}

bool findFirstBindable(WriterState& state, const std::vector<Node*>& nodes, u8 bit,
                       const Node*& found, Affine& around)
{
    const Affine identity = identityAffine();
    for (const Node* node : nodes)
        if (search(state, node, bit, identity, found, around)) return true;
    return false;
}

// fieldOfView is an opening between 0 and pi; outside that a view has no extent or
// turns inside out (a number of 2147483648 gave a view angle of 2.1e9): such a value is
// clamped to 1 or 179 degrees, with a warning.
static void writeFieldOfView(WriterState& state, const Node& viewpoint, f64 defaultValue)
{
    constexpr f64 kSmallest = 0.017453292519943295; // 1 degree
    constexpr f64 kLargest = 3.1241393610698497;    // 179 degrees
    f64 value = defaultValue;
    if (!readDoubles(viewpoint, "fieldOfView", &value, 1)) return;
    if (value > 0.0 && value < 3.141592653589793) {
        writeNumberField(state.out, viewpoint, "fieldOfView", 1, &defaultValue);
        return;
    }
    const f64 clamped = value > 0.0 ? kLargest : kSmallest;
    char text[96];
    std::snprintf(text, sizeof text,
                  "Viewpoint: fieldOfView %g lies outside (0, pi); clamped to %g", value, clamped);
    warnOnce(state, viewpoint, text);
    writeComputedField(state.out, "fieldOfView", &clamped, 1);
}

void writeViewpoint(WriterState& state, const Node& viewpoint, const Affine& around)
{
    static const f64 kPosition[3] = {0.0, 0.0, 10.0};
    static const f64 kOrientation[4] = {0.0, 0.0, 1.0, 0.0};
    static const f64 kFieldOfView[1] = {0.785398};
    CanonicalText& out = state.out;
    out.begin("Viewpoint {");
    writeFieldOfView(state, viewpoint, kFieldOfView[0]);
    if (isIdentity(around)) {
        writeNumberField(out, viewpoint, "position", 3, kPosition);
        writeNumberField(out, viewpoint, "orientation", 4, kOrientation);
    } else {
        f64 position[3] = {kPosition[0], kPosition[1], kPosition[2]};
        f64 orientation[4] = {kOrientation[0], kOrientation[1], kOrientation[2], kOrientation[3]};
        readDoubles(viewpoint, "position", position, 3);
        readDoubles(viewpoint, "orientation", orientation, 4);
        f64 placedPosition[3], placedOrientation[4];
        placeViewpoint(around, position, orientation, placedPosition, placedOrientation);
        writeComputedField(out, "position", placedPosition, 3);
        writeComputedField(out, "orientation", placedOrientation, 4);
    }
    out.end("}");
}

void writeBackground(WriterState& state, const Node& background)
{
    CanonicalText& out = state.out;
    const CanonicalText::Mark before = out.mark();
    out.begin("Background {");
    const std::size_t inside = out.size();
    // The reader takes the first sky colour from the line of "[", so only it is written.
    const FieldValue* sky = findField(background, "skyColor");
    if (sky && sky->kind == ValueKind::kNumbers && sky->numberCount >= 3) {
        out.indent();
        out.append("skyColor [ ");
        NumberCursor numbers(*sky->source, sky->numbers);
        std::string_view number;
        for (u32 i = 0; i < 3 && numbers.next(number); ++i) {
            out.append(number);
            out.append(' ');
        }
        out.append("]\n");
    }
    for (const char* field : kBackgroundUrls) {
        const std::string url =
            writableUrl(state, background, field, {"skyColor", "Url", "Background", "#"});
        if (url.empty()) continue;
        out.line(std::string(field) + " \"" + url + "\"");
        break;
    }
    if (out.size() == inside) {
        out.rollBack(before);
        return;
    }
    out.end("}");
}

void writeNavigationInfo(WriterState& state, const Node& navigationInfo)
{
    // Only the headlight is read; a NavigationInfo that does not set it changes nothing.
    const FieldValue* headlight = findField(navigationInfo, "headlight");
    if (!headlight || headlight->kind != ValueKind::kWords || headlight->texts.empty()) return;
    CanonicalText& out = state.out;
    out.begin("NavigationInfo {");
    writeBoolField(out, navigationInfo, "headlight");
    out.end("}");
}

void writeFramingViewpoint(WriterState& state)
{
    const f64 center[2] = {(state.low[0] + state.high[0]) * 0.5,
                           (state.low[1] + state.high[1]) * 0.5};
    // The height counts for more: the view is a 4:3 picture.
    f64 halfWidth =
        std::fmax(state.high[0] - state.low[0], (state.high[1] - state.low[1]) / kHeightToWidth) *
        0.5;
    if (!(halfWidth > 0.0)) halfWidth = (state.high[2] - state.low[2]) * 0.5;
    if (!(halfWidth > 0.0)) halfWidth = 1.0;
    // The box's front face fills kFramedFraction of the view: at distance d its half
    // width w covers w / (d tan a) of the half-opening a, whose tangent is the half
    // height's stretched to the width.
    const f64 halfAcross = portable::tan(kDefaultFieldOfView * 0.5) / kHeightToWidth;
    const f64 distance = halfWidth / (kFramedFraction * halfAcross);
    const f64 position[3] = {center[0], center[1], state.high[2] + distance};
    CanonicalText& out = state.out;
    out.begin("Viewpoint {");
    writeComputedField(out, "position", position, 3);
    out.end("}");
}

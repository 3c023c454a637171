#include "tools/content/scene_keys.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegrees = 180.0 / kPi;
}  // namespace

KfKeyData poseKey(int frame, int interp, Vec3f position, Angles angles, float scale) {
    KfKeyData key;
    key.interp = interp;
    key.frame = frame;
    key.x = position.x;
    key.y = position.y;
    key.z = position.z;
    key.rotY = angles.yaw;
    key.rotX = angles.pitch;
    key.rotZ = angles.roll;
    key.scaleX = key.scaleY = key.scaleZ = scale;
    return key;
}

KfKeyData emitterKey(int frame, int interp, Vec3f position, uint32_t colour, float spread, float size,
                     float perMs) {
    KfKeyData key = poseKey(frame, interp, position);
    key.rotY = static_cast<float>((colour >> 16) & 0xFF);
    key.rotX = static_cast<float>((colour >> 8) & 0xFF);
    key.rotZ = static_cast<float>(colour & 0xFF);
    key.scaleX = spread + 1.0f;
    key.scaleY = size + 1.0f;
    key.scaleZ = perMs + 1.0f;
    return key;
}

KfNodeData meshNode(const char* meshName, int parent, std::vector<KfKeyData> keys) {
    KfNodeData node;
    node.type = kNodeMesh;
    node.parent = parent;
    node.meshName = meshName;
    node.keys = std::move(keys);
    return node;
}

KfNodeData pivotNode(int parent, std::vector<KfKeyData> keys) {
    KfNodeData node;
    node.type = kNodePivot;
    node.parent = parent;
    node.keys = std::move(keys);
    return node;
}

KfNodeData lightNode(uint32_t colour, float intensity, float range, std::vector<KfKeyData> keys) {
    KfNodeData node;
    node.type = kNodeLight;
    node.lightColour = colour;
    node.lightIntensity = intensity;
    node.lightRange = range;
    node.keys = std::move(keys);
    return node;
}

KfNodeData cameraNode(float zoom, std::vector<KfKeyData> keys) {
    KfNodeData node;
    node.type = kNodeCamera;
    node.cameraZoom = zoom;
    node.keys = std::move(keys);
    return node;
}

KfNodeData emitterNode(float poolSeconds, std::vector<KfKeyData> keys) {
    KfNodeData node;
    node.type = kNodeEmitter;
    node.poolSeconds = poolSeconds;
    node.keys = std::move(keys);
    return node;
}

int addNode(KfSceneData& scene, KfNodeData node) {
    scene.nodes.push_back(std::move(node));
    return static_cast<int>(scene.nodes.size());
}

std::vector<KfKeyData> spinKeys(int lastFrame, Vec3f position, Angles from, Angles to, float scale) {
    return {poseKey(0, kKeyLinear, position, from, scale),
            poseKey(lastFrame, kKeyLinear, position, to, scale)};
}

std::vector<KfKeyData> circleKeys(int lastFrame, int step, Vec3f centre, float radius, float tilt,
                                  float turns, float startDegrees) {
    std::vector<KfKeyData> keys;
    const double tiltRadians = tilt / kDegrees;
    for (int frame = 0;; frame += step) {
        if (frame > lastFrame) frame = lastFrame;
        const double angle = (startDegrees + 360.0 * turns * frame / lastFrame) / kDegrees;
        const double flatX = radius * std::cos(angle), flatZ = radius * std::sin(angle);
        // Tilt the circle about the x axis.
        const Vec3f p{static_cast<float>(centre.x + flatX),
                      static_cast<float>(centre.y - flatZ * std::sin(tiltRadians)),
                      static_cast<float>(centre.z + flatZ * std::cos(tiltRadians))};
        keys.push_back(poseKey(frame, kKeyLinear, p));
        if (frame == lastFrame) break;
    }
    return keys;
}

Angles lookAngles(Vec3f eye, Vec3f target) {
    const double dx = target.x - eye.x, dy = target.y - eye.y, dz = target.z - eye.z;
    // The view axis after yaw A and pitch B is (cos B sin A, -sin B, cos B cos A).
    const double yaw = std::atan2(dx, dz) * kDegrees;
    const double pitch = std::atan2(-dy, std::sqrt(dx * dx + dz * dz)) * kDegrees;
    return {static_cast<float>(yaw), static_cast<float>(pitch), 0.0f};
}

std::vector<KfKeyData> cameraPath(const std::vector<std::pair<int, Vec3f>>& eyes, Vec3f target, float roll) {
    std::vector<KfKeyData> keys;
    float previousYaw = 0;
    for (const auto& [frame, eye] : eyes) {
        Angles angles = lookAngles(eye, target);
        if (!keys.empty()) {
            while (angles.yaw - previousYaw > 180) angles.yaw -= 360;
            while (angles.yaw - previousYaw < -180) angles.yaw += 360;
        }
        previousYaw = angles.yaw;
        angles.roll = roll;
        keys.push_back(poseKey(frame, kKeySpline, eye, angles));
    }
    return keys;
}

std::vector<KfKeyData> emitterPath(const std::vector<KfKeyData>& path, uint32_t colour, float spread,
                                   float size, float perMs) {
    std::vector<KfKeyData> keys;
    for (const KfKeyData& key : path) {
        keys.push_back(emitterKey(key.frame, key.interp, {key.x, key.y, key.z}, colour, spread, size, perMs));
    }
    return keys;
}

std::vector<KfKeyData> swayKeys(int lastFrame, KfKeyData base, Vec3f move, Angles turn) {
    // Five equal segments: sin(2πk/5) gives 0, a, b, -b, -a, 0, whose first and
    // last differences are equal, so the spline's end slopes match.
    std::vector<KfKeyData> keys;
    for (int k = 0; k <= 5; ++k) {
        const float s = k == 0 || k == 5 ? 0.0f : static_cast<float>(std::sin(2.0 * kPi * k / 5.0));
        KfKeyData key = base;
        key.interp = kKeySpline;
        key.frame = lastFrame * k / 5;
        key.x += move.x * s;
        key.y += move.y * s;
        key.z += move.z * s;
        key.rotY += turn.yaw * s;
        key.rotX += turn.pitch * s;
        key.rotZ += turn.roll * s;
        keys.push_back(key);
    }
    return keys;
}

// The preview's poses: joints and vertices where the arithmetic of the key
// reading puts them, on small skeletons built here.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"
#include "preview/PreviewPose.h"
#include "preview/PreviewView.h"

namespace vandrel {
namespace {

using test::GenBone;
using test::GenModel;

const double kQuarter = std::acos(0.0);  // 90 degrees in radians

std::string Angle(double radians) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", radians);
    return text;
}

// The model as File 1 holds it after an open.
PreviewModel Read(const std::vector<std::string>& lines) {
    Workspace ws;
    test::OpenBytes(ws, 1, test::FileText(lines));
    return ReadPreviewModel(ws, PreviewSource::File1);
}
PreviewModel Read(const GenModel& model) { return Read(test::FileLines(model)); }

void ExpectAt(const glm::dvec3& actual, const glm::dvec3& expected, const std::string& what, double near = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, near) << what;
    EXPECT_NEAR(actual.y, expected.y, near) << what;
    EXPECT_NEAR(actual.z, expected.z, near) << what;
}

TEST(PreviewPose, ATwoBoneArmTurnedAboutZPutsItsTipAndItsVerticesWhereTheArithmeticSays) {
    GenModel arm = test::ModelWith({
        {"shoulder", "", "0 0 0 0 0 0 0", {}, {"1.000000 0 0 0", "10.000000 0 0 " + Angle(kQuarter)}},
        {"elbow", "shoulder", "0 2 0 0 0 0 0", {}, {"1.000000 0 0 0"}},
        {"keyless", "shoulder", "0 1 0 0 0 0 0", {}, {}},
    });
    // One vertex on the elbow, one on no bone.
    arm.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"arm\" 0 0", "2", "0 3.000000 0.000000 0.000000 0 0 1",
                  "0 5.000000 5.000000 5.000000 0 0 -1", "0", "0"};
    const PreviewModel model = Read(arm);
    ASSERT_EQ(model.Bones.size(), 3u);

    const PreviewPose turned = PoseModel(model, 10);
    ExpectAt(turned.Joints[1], {0, 2, 0}, "the elbow, a quarter turn on");
    ExpectAt(turned.Vertices[0], {0, 3, 0}, "the vertex beyond the elbow");
    ExpectAt(turned.Vertices[1], {5, 5, 5}, "the vertex without a bone");
    ExpectAt(turned.Joints[2], {1, 0, 0}, "a bone without keys keeps its rest place while its parent turns");

    ExpectAt(PoseModel(model, 5.5).Joints[1], {std::sqrt(2.0), std::sqrt(2.0), 0}, "halfway between the keys");
    ExpectAt(PoseModel(model, 20).Joints[1], {0, 2, 0}, "after the last key, the last key holds");
    ExpectAt(PoseModel(model, -3).Joints[1], {2, 0, 0}, "before the first key, the first key holds");
}

TEST(PreviewPose, HalfwayPositionsGoStraightAndRotationsTheShorterWay) {
    // Keys at a time below 1 and at a time written without a point; 170 degrees
    // to -170 degrees is 20 degrees through 180, not 340 through 0.
    const PreviewModel model = Read(test::ModelWith({
        {"root", "", "0 1 0 0 0 0 0", {"0.5 0 0 0", "10 4 0 0"},
         {"0.5 0 0 " + Angle(kQuarter * 17 / 9), "10 0 0 " + Angle(-kQuarter * 17 / 9)}},
        {"tip", "root", "0 2 0 0 0 0 0", {}, {"1 0 0 0"}},
    }));
    const PreviewPose pose = PoseModel(model, 5.25);
    ExpectAt(pose.Joints[0], {3, 0, 0}, "the root, halfway from its rest place to four along x");
    ExpectAt(pose.Joints[1], {1, 0, 0}, "the tip, half a turn round");
}

TEST(PreviewPose, TheRestPoseReproducesTheRestPositionsThroughRotatedParents) {
    // A root turned a quarter about z, a child turned 30 degrees about x, a grandchild.
    GenModel chain = test::ModelWith({
        {"root", "", "0 1 0 0 0 0 " + Angle(kQuarter), {"1 0 0 0"}, {"1 0 0 0"}},
        {"child", "root", "0 2 0 0 " + Angle(kQuarter / 3) + " 0 0", {"1 0 0 0"}, {"1 0 0 0"}},
        {"grandchild", "child", "0 0 3 0 0 0 0", {"1 0 0 0"}, {"1 0 0 0"}},
    });
    chain.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"m\" 0 0", "1", "0 -1.598076 2.000000 1.500000 0 0 2",
                    "0", "0"};
    const PreviewModel model = Read(chain);
    const glm::dvec3 grandchild(1 - 1.5 * std::sqrt(3.0), 2, 1.5);
    // Rest lines are held with six decimals, the angles too: as exact as that.
    const double near = 1e-5;
    for (double frame : {1.0, 7.0}) {
        const PreviewPose pose = PoseModel(model, frame);
        ExpectAt(pose.Joints[0], {1, 0, 0}, "root", near);
        ExpectAt(pose.Joints[1], {1, 2, 0}, "child", near);
        ExpectAt(pose.Joints[2], grandchild, "grandchild", near);
        ExpectAt(pose.Vertices[0], {-1.598076, 2, 1.5}, "a vertex on the grandchild stays where the file has it",
                 near);
    }
}

TEST(PreviewPose, AKeyCountThatLiesLosesNoFollowingBone) {
    const PreviewModel model = Read({"// MilkShape 3D ASCII", "Bones: 2", "\"a\"", "\"\"", "0 1 0 0 0 0 0", "1000",
                                     "1 0 0 0", "0", "\"b\"", "\"a\"", "0 0 2 0 0 0 0", "1", "1 0 0 0", "0"});
    ASSERT_EQ(model.Bones.size(), 2u);
    EXPECT_EQ(model.Bones[1].Parent, 0);
    ExpectAt(PoseModel(model, 1).Joints[1], {1, 2, 0}, "the bone after the lying count");
}

TEST(PreviewPose, TheClipboardIsDrawnOnTheMeshesOfItsFileWhileTheFileHasItsBones) {
    GenModel model = test::ModelWith({{"hip", "", "0 0 0 0 0 0 0", {"1 0 0 0"}, {}}});
    model.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"m\" 0 0", "1", "0 1 0 0 0 0 0", "0", "0"};
    Workspace ws;
    test::OpenBytes(ws, 2, test::FileText(test::FileLines(model)));
    ws.File(2).Rows[0].Selected = true;
    CopyToClipboard(ws, 2);
    EXPECT_EQ(ReadPreviewModel(ws, PreviewSource::Clipboard).Vertices.size(), 1u);

    model.Bones[0].Name = "pelvis";
    test::OpenBytes(ws, 2, test::FileText(test::FileLines(model)));
    const PreviewModel clipboard = ReadPreviewModel(ws, PreviewSource::Clipboard);
    EXPECT_EQ(clipboard.Bones.size(), 1u);
    EXPECT_TRUE(clipboard.Vertices.empty()) << "the file now holds other bones";
}

TEST(PreviewPose, AFileOfBonesOnlyIsDrawnOnTheOtherFilesMeshesBoneByRestLine) {
    // The character: a hip and a hand, a vertex on each and one on no bone.
    GenModel character = test::ModelWith({{"hip", "", "0 0 0 0 0 0 0", {}, {}}, {"hand", "hip", "0 2 0 0 0 0 0", {}, {}}});
    character.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"m\" 0 0", "3", "0 0 1 0 0 0 0", "0 2 1 0 0 0 1",
                        "0 9 9 9 0 0 -1", "0", "0"};
    // The dance: the same bones in the other order, spelled otherwise, the hip
    // turned a quarter about z at frame 10; no meshes.
    GenModel dance = test::ModelWith({
        {"HAND", "HIP", "0 2.000000 0.000000 0.000000 0.000000 0.000000 -0.000000", {}, {"1 0 0 0"}},
        {"HIP", "", "0 0.0 0.0 0.0 0.0 0.0 0.0", {}, {"1 0 0 0", "10 0 0 " + Angle(kQuarter)}},
        {"tail", "HIP", "0 0 -1 0 0 0 0", {}, {}},
    });
    dance.Header = {"Frames: 10"};
    Workspace ws;
    test::OpenBytes(ws, 1, test::FileText(test::FileLines(character)));
    test::OpenBytes(ws, 2, test::FileText(test::FileLines(dance)));
    const PreviewModel model = ReadPreviewModel(ws, PreviewSource::File2);
    ASSERT_EQ(model.Bones.size(), 3u);
    EXPECT_EQ(model.VertexBones, (std::vector<int32_t>{1, 0, -1}));
    const PreviewPose pose = PoseModel(model, 10);
    ExpectAt(pose.Vertices[0], {-1, 0, 0}, "the vertex on the hip turns with the dance's hip");
    ExpectAt(pose.Vertices[2], {9, 9, 9}, "the vertex on no bone stays");
    // File 1 keeps its own meshes, and a file of other bones gets none.
    EXPECT_EQ(ReadPreviewModel(ws, PreviewSource::File1).VertexBones, (std::vector<int32_t>{0, 1, -1}));
    dance.Bones[0].Rest = dance.Bones[1].Rest = "0 5 5 5 0 0 0";
    test::OpenBytes(ws, 2, test::FileText(test::FileLines(dance)));
    EXPECT_TRUE(ReadPreviewModel(ws, PreviewSource::File2).Vertices.empty());
}

TEST(PreviewView, EveryJointAndVertexOfEveryKeyframeLiesInsideThePictureInEveryView) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        test::GenModel model = test::RandomAnimatedModel(rng, test::Skeleton(1 + int(rng() % 6)), 30);
        for (test::GenBone& bone : model.Bones)
            for (auto* keys : {&bone.PositionKeys, &bone.RotationKeys})
                for (std::string& key : *keys) key = key.substr(0, key.find(' ')) + " " + std::to_string(int(rng() % 9) - 4) +
                                                     " " + std::to_string(int(rng() % 7) - 3) + " 0.5";
        // A vertex on each bone, away from its joint.
        model.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"m\" 0 0", std::to_string(model.Bones.size())};
        for (size_t b = 0; b < model.Bones.size(); ++b)
            model.Header.push_back("0 " + std::to_string(b % 3) + " 2 -1 0 0 " + std::to_string(b));
        model.Header.insert(model.Header.end(), {"0", "0"});
        const PreviewModel preview = Read(model);
        const PreviewBounds bounds = AnimationBounds(preview);
        std::set<double> times;
        for (const PreviewBone& bone : preview.Bones)
            for (const auto* keys : {&bone.PositionKeys, &bone.RotationKeys})
                for (const PreviewKey& key : *keys) times.insert(key.Time);
        for (const PreviewCamera& camera : {PreviewCamera{PreviewView::Front}, PreviewCamera{PreviewView::Side},
                                            PreviewCamera{PreviewView::Top}, PreviewCamera{PreviewView::Free, 0.7, -0.4}}) {
            const PreviewMatrices view = FrameView(bounds, camera, 320, 200);
            for (double time : times) {
                const PreviewPose pose = PoseModel(preview, time);
                for (const auto* points : {&pose.Joints, &pose.Vertices})
                    for (const glm::dvec3& p : *points) {
                        const glm::dvec3 q = ProjectToPicture(view, p, 320, 200);
                        EXPECT_TRUE(q.x >= 0 && q.x <= 320 && q.y >= 0 && q.y <= 200 && q.z >= 0 && q.z <= 1)
                            << q.x << " " << q.y << " " << q.z << " at " << time;
                    }
            }
        }
    }
}

TEST(PreviewView, FitFramesAtZoomOneAndPanMovesTheModelWithTheDrag) {
    const PreviewBounds bounds{{-1, 0, -1}, {1, 4, 1}, false};
    PreviewCamera camera;
    const glm::dvec3 middle(0, 2, 0);
    EXPECT_NEAR(ProjectToPicture(FrameView(bounds, camera, 300, 300), middle, 300, 300).x, 150, 1e-9);
    camera.Pan = {0.5, 0};
    EXPECT_NEAR(ProjectToPicture(FrameView(bounds, camera, 300, 300), middle, 300, 300).x, 150 + 75, 1e-6)
        << "half a framed half height to the right";
    camera.Zoom = 2;
    const glm::dvec3 top(0, 4, 0);
    camera.Pan = {0, 0};
    EXPECT_LT(ProjectToPicture(FrameView(bounds, camera, 300, 300), top, 300, 300).y, 0) << "zoomed in, the top leaves";
}

}  // namespace
}  // namespace vandrel

#!/usr/bin/env python3
"""Whole VTK frames of the same surface Tarvo's benchmark draws, for comparison.

    vtk_frames.py MESH [--width 800] [--height 600] [--repetitions 5]
                       [--seconds 1.0] [--png PREFIX] [--serve FIFO]

MESH is a little-endian binary file (written by bench/VtkComparison.cpp):

    offset  size           content
    0       8              b"TARVOMSH"
    8       4   uint32     format version, 1
    12      4   uint32     vertex count N
    16      4   uint32     face count F
    20      128 float64    M, 4 x 4, row-major: the orientation the first frame
                           shows; a vertex (x, y, z, w) is drawn at
                           [x y z w] @ M[:, :3], as Tarvo projects it
    148     32N float64    the vertices, x y z w each
    148+32N 16F int32      the faces, four vertex indices each, in order
                           around the face (0 ... N - 1)

The scene matches Tarvo's: the quads share their points as in the mesh; flat
interpolation; two-sided lighting by three directional lights fixed to the
camera (diffuse and specular colours (0.5, 0, 0), (0.5, 0.5, 0), (0, 0.5, 1)
from (1.09, 1, 1), (1, 1.09, 1), (1, 1, 1.09)); material red, ambient 0.2,
specular white, shininess 64; a parallel camera at (0, -6, 6) looking at the
origin, up (0, 1, 1), showing the same part of space as Tarvo's view (whose
eye coordinates are the model's divided by the eye distance, so its
horizontal extent -1 ... 1 spans -6 sqrt 2 ... 6 sqrt 2 of the model).

Each case is timed over repetitions of several frames (as many as fill about
--seconds, at least 3), each frame rendered offscreen and waited for
(WaitForCompletion: a glFinish); the median repetition is printed, in ms a
frame, one line a case:

    vtk version 9.1.0
    vtk faces <F>
    vtk opaque3d <ms> <min> <max> <frames> <repetitions>   camera turned a frame
    vtk opaque4d <ms> <min> <max> <frames> <repetitions>   points turned in x-w
    vtk sorted3d <ms> <min> <max> <frames> <repetitions>   opacity 0.5, sorted
    vtk peeling3d <ms> <min> <max> <frames> <repetitions>  opacity 0.5, peeling
    vtk translucent3d <ms> <sorted|peeling>                the faster of the two

(min and max: the fastest and slowest repetition's ms a frame. "sorted" is
vtkDepthSortPolyData back to front by each face's first point, as Tarvo
orders, re-sorted every frame; "peeling" is VTK's depth peeling with its
default settings, up to 4 peels.)

With --serve FIFO it times nothing on its own: it reads case names, one a
line, from FIFO (a named pipe the caller writes), and answers each with one
slice of about --seconds of that case's frames, so that the caller can
alternate its own frames with VTK's and both see the machine alike:

    vtk slice <case> <ms> <frames>

Each case goes on where its last slice stopped (the camera's steps, the 4D
turn); a case's first frame after another case is drawn untimed. The end
of FIFO ends the script.

When VTK or NumPy cannot be loaded, or no window can be made, it prints
"vtk unavailable <reason>" and exits with status 2. Debian's VTK draws
through X only (no EGL or OSMesa build): DISPLAY must name an X server, for
example Xvfb.
"""

import argparse
import math
import os
import struct
import sys
import time


def unavailable(reason):
    print("vtk unavailable " + " ".join(str(reason).split()), flush=True)
    sys.exit(2)


try:
    import numpy as np
except ImportError as error:
    unavailable("NumPy cannot be loaded (%s); install python3-numpy" % error)
try:
    import vtkmodules.vtkRenderingOpenGL2  # noqa: F401  (the OpenGL back end)
    from vtkmodules.util.numpy_support import numpy_to_vtk, numpy_to_vtkIdTypeArray
    from vtkmodules.vtkCommonCore import vtkPoints, vtkVersion
    from vtkmodules.vtkCommonDataModel import vtkCellArray, vtkPolyData
    from vtkmodules.vtkFiltersHybrid import vtkDepthSortPolyData
    from vtkmodules.vtkRenderingCore import (vtkActor, vtkCamera, vtkLight,
                                             vtkPolyDataMapper, vtkRenderer,
                                             vtkRenderWindow)
except ImportError as error:
    unavailable("VTK cannot be loaded (%s); install python3-vtk9" % error)

HEADER = struct.Struct("<8sIII16d")
MAGIC = b"TARVOMSH"
EYE = (0.0, -6.0, 6.0)
LIGHTS = (
    ((1.09, 1.0, 1.0), (0.5, 0.0, 0.0)),
    ((1.0, 1.09, 1.0), (0.5, 0.5, 0.0)),
    ((1.0, 1.0, 1.09), (0.0, 0.5, 1.0)),
)


def read_mesh(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < HEADER.size:
        raise ValueError("%s: too short for the header" % path)
    magic, version, n, faces, *m = HEADER.unpack_from(data)
    if magic != MAGIC or version != 1:
        raise ValueError("%s: not a version 1 mesh file" % path)
    if len(data) != HEADER.size + 32 * n + 16 * faces:
        raise ValueError("%s: %d bytes, not the %d its counts call for"
                         % (path, len(data), HEADER.size + 32 * n + 16 * faces))
    xyzw = np.frombuffer(data, "<f8", 4 * n, HEADER.size).reshape(n, 4)
    quads = np.frombuffer(data, "<i4", 4 * faces, HEADER.size + 32 * n).reshape(faces, 4)
    if faces and (quads.min() < 0 or quads.max() >= n):
        raise ValueError("%s: a face names a vertex that does not exist" % path)
    return xyzw, quads, np.array(m).reshape(4, 4)


def rotation_xw(angle):
    """Tarvo's Rxw: a turn in the plane of the first and fourth axes."""
    r = np.identity(4)
    c, s = math.cos(angle), math.sin(angle)
    r[0, 0] = c
    r[0, 3] = s
    r[3, 0] = -s
    r[3, 3] = c
    return r


class Scene:
    def __init__(self, xyzw, quads, orientation, width, height):
        # The 4D points in single precision, as the points VTK draws: each 4D
        # turn is then one float32 product straight into the points' memory.
        self.xyzw = np.ascontiguousarray(xyzw, dtype=np.float32)
        self.orientation = orientation
        self.xyz = np.empty((len(xyzw), 3), dtype=np.float32)
        self.project(orientation)
        self.points = vtkPoints()
        self.points.SetData(numpy_to_vtk(self.xyz, deep=False))

        offsets = np.arange(0, 4 * len(quads) + 1, 4, dtype=np.int64)
        cells = vtkCellArray()
        cells.SetData(numpy_to_vtkIdTypeArray(offsets, deep=True),
                      numpy_to_vtkIdTypeArray(quads.astype(np.int64).ravel(), deep=True))
        self.poly = vtkPolyData()
        self.poly.SetPoints(self.points)
        self.poly.SetPolys(cells)

        self.camera = vtkCamera()
        self.camera.ParallelProjectionOn()
        self.camera.SetPosition(*EYE)
        self.camera.SetFocalPoint(0.0, 0.0, 0.0)
        self.camera.SetViewUp(0.0, 1.0, 1.0)
        self.camera.OrthogonalizeViewUp()
        distance = math.hypot(*EYE)
        self.camera.SetParallelScale(distance * height / width)
        self.camera.SetClippingRange(0.01, 2.0 * distance)
        self.start_camera = vtkCamera()
        self.start_camera.DeepCopy(self.camera)

        self.renderer = vtkRenderer()
        self.renderer.SetActiveCamera(self.camera)
        self.renderer.SetBackground(0.0, 0.0, 0.0)
        self.renderer.AutomaticLightCreationOff()
        self.renderer.TwoSidedLightingOn()
        for direction, colour in LIGHTS:
            light = vtkLight()
            light.SetLightTypeToCameraLight()
            light.PositionalOff()
            light.SetPosition(*direction)
            light.SetFocalPoint(0.0, 0.0, 0.0)
            light.SetAmbientColor(0.0, 0.0, 0.0)
            light.SetDiffuseColor(*colour)
            light.SetSpecularColor(*colour)
            light.SetIntensity(1.0)
            self.renderer.AddLight(light)

        self.sorter = vtkDepthSortPolyData()
        self.sorter.SetInputData(self.poly)
        self.sorter.SetCamera(self.camera)
        self.sorter.SetDirectionToBackToFront()
        self.sorter.SetDepthSortModeToFirstPoint()  # Tarvo's key: the first corner
        self.sorter.SortScalarsOff()

        self.mapper = vtkPolyDataMapper()
        self.mapper.ScalarVisibilityOff()
        self.actor = vtkActor()
        self.actor.SetMapper(self.mapper)
        p = self.actor.GetProperty()
        p.SetInterpolationToFlat()
        p.BackfaceCullingOff()
        p.SetAmbient(0.2)
        p.SetAmbientColor(1.0, 0.0, 0.0)
        p.SetDiffuse(1.0)
        p.SetDiffuseColor(1.0, 0.0, 0.0)
        p.SetSpecular(1.0)
        p.SetSpecularColor(1.0, 1.0, 1.0)
        p.SetSpecularPower(64.0)
        self.renderer.AddActor(self.actor)

        self.window = vtkRenderWindow()
        self.window.SetOffScreenRendering(1)
        self.window.SetMultiSamples(0)
        self.window.SetAlphaBitPlanes(1)  # depth peeling needs them
        self.window.SetSize(width, height)
        self.window.AddRenderer(self.renderer)

    def project(self, orientation):
        np.matmul(self.xyzw, orientation[:, :3].astype(np.float32), out=self.xyz)

    def set_case(self, translucent, method):
        """method: None (opaque), "sorted" or "peeling"."""
        self.camera.DeepCopy(self.start_camera)
        self.project(self.orientation)
        self.points.Modified()
        self.actor.GetProperty().SetOpacity(0.5 if translucent else 1.0)
        if method == "sorted":
            self.mapper.SetInputConnection(self.sorter.GetOutputPort())
        else:
            self.mapper.SetInputData(self.poly)
        self.renderer.SetUseDepthPeeling(1 if method == "peeling" else 0)

    def frame(self):
        self.window.Render()
        self.window.WaitForCompletion()

    def turn3d(self, i):
        # A little every frame, as a drag does; the elevation goes back and
        # forth so that the view never passes over the pole.
        self.camera.Azimuth(0.4)
        self.camera.Elevation(0.3 if (i // 20) % 2 == 0 else -0.3)
        self.camera.OrthogonalizeViewUp()

    def turn4d(self, i):
        self.project(self.orientation @ rotation_xw(0.01 * (i + 1)))
        self.points.Modified()


def measure(scene, turn, repetitions, seconds):
    """ms a frame of each repetition, and the frames in each."""
    turn(0)
    scene.frame()  # the first frame builds the GPU side: not timed
    step = 1
    start = time.perf_counter()
    turn(step)
    scene.frame()
    first = time.perf_counter() - start
    frames = max(3, min(200, int(seconds / max(first, 1e-4))))
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        for _ in range(frames):
            step += 1
            turn(step)
            scene.frame()
        times.append(1000.0 * (time.perf_counter() - start) / frames)
    return times, frames


def serve(scene, cases, commands, seconds):
    """Answers each case name read from commands with a slice of its frames."""
    steps = {}
    current = None
    with open(commands) as lines:
        for line in lines:
            name = line.strip()
            if name not in cases:
                continue
            translucent, method, turn = cases[name]
            step = steps.get(name, 0)
            if name != current:
                scene.set_case(translucent, method)
                # Back to where this case stopped: the 3D turns add up, the
                # 4D turn is set from the step.
                for i in range(step + 1 if turn == scene.turn3d else 0):
                    turn(i)
                if turn != scene.turn3d:
                    turn(step)
                scene.frame()  # builds the GPU side: not timed
                current = name
            frames = 0
            start = time.perf_counter()
            while frames < 3 or time.perf_counter() - start < seconds:
                step += 1
                turn(step)
                scene.frame()
                frames += 1
            ms = 1000.0 * (time.perf_counter() - start) / frames
            steps[name] = step
            print("vtk slice %s %.2f %d" % (name, ms, frames), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mesh")
    parser.add_argument("--width", type=int, default=800)
    parser.add_argument("--height", type=int, default=600)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--seconds", type=float, default=1.0,
                        help="time a repetition should take, roughly")
    parser.add_argument("--png", help="also save the first frame of each case as PREFIX-<case>.png")
    parser.add_argument("--serve", metavar="FIFO",
                        help="time slices of the cases named in FIFO, one a line")
    args = parser.parse_args()

    if not os.environ.get("DISPLAY"):
        unavailable("no DISPLAY: Debian's VTK draws through X only (run it under Xvfb)")
    try:
        xyzw, quads, orientation = read_mesh(args.mesh)
    except (OSError, ValueError) as error:
        unavailable(error)
    scene = Scene(xyzw, quads, orientation, args.width, args.height)
    del xyzw, quads
    scene.set_case(False, None)
    scene.frame()
    if not scene.window.SupportsOpenGL():
        unavailable("the render window has no usable OpenGL context")

    print("vtk version %s" % vtkVersion.GetVTKVersion())
    print("vtk faces %d" % scene.poly.GetNumberOfPolys(), flush=True)
    if args.serve:
        serve(scene, {"opaque3d": (False, None, scene.turn3d),
                      "opaque4d": (False, None, scene.turn4d),
                      "sorted3d": (True, "sorted", scene.turn3d),
                      "peeling3d": (True, "peeling", scene.turn3d)},
              args.serve, args.seconds)
        return
    cases = (
        ("opaque3d", False, None, scene.turn3d),
        ("opaque4d", False, None, scene.turn4d),
        ("sorted3d", True, "sorted", scene.turn3d),
        ("peeling3d", True, "peeling", scene.turn3d),
    )
    medians = {}
    for name, translucent, method, turn in cases:
        scene.set_case(translucent, method)
        if args.png:
            save_png(scene, "%s-%s.png" % (args.png, name))
            scene.set_case(translucent, method)
        times, frames = measure(scene, turn, args.repetitions, args.seconds)
        medians[name] = sorted(times)[len(times) // 2]
        print("vtk %s %.2f %.2f %.2f %d %d"
              % (name, medians[name], min(times), max(times), frames, len(times)), flush=True)
    faster = "sorted" if medians["sorted3d"] <= medians["peeling3d"] else "peeling"
    print("vtk translucent3d %.2f %s" % (medians[faster + "3d"], faster), flush=True)


def save_png(scene, path):
    from vtkmodules.vtkIOImage import vtkPNGWriter
    from vtkmodules.vtkRenderingCore import vtkWindowToImageFilter
    scene.frame()
    grab = vtkWindowToImageFilter()
    grab.SetInput(scene.window)
    grab.ReadFrontBufferOff()
    grab.Update()
    writer = vtkPNGWriter()
    writer.SetFileName(path)
    writer.SetInputConnection(grab.GetOutputPort())
    writer.Write()


if __name__ == "__main__":
    main()

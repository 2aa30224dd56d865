// generic_fx._native: the plug-in hosted for Python. Arrays come through the
// buffer protocol only, so the module depends on no NumPy version.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "native_stack.h"

namespace py = pybind11;

PYBIND11_MODULE(_native, m) {
    py::register_exception<FrameOrderError>(m, "FrameOrderError", PyExc_ValueError);

    py::class_<Geometry>(m, "Geometry")
        .def(py::init<py::handle, py::handle, py::handle, py::handle, py::handle, py::handle, py::handle, py::handle>(),
             py::arg("positions"), py::arg("triangles"), py::arg("normals"), py::arg("uvs"), py::arg("uv_triangles"),
             py::arg("curves"), py::arg("closed"), py::arg("particles"))
        .def("point_count", &Geometry::pointCount);

    py::class_<NativeStack>(m, "Stack")
        .def(py::init<const std::string&, const std::vector<std::string>&, double>())
        .def_property_readonly("names", &NativeStack::effectNames)
        .def_property_readonly("fps", &NativeStack::fps)
        .def_property_readonly("frame", &NativeStack::frame)
        .def("catalogue_name", &NativeStack::catalogueName)
        .def("params_json", &NativeStack::paramsJson)
        .def("set", &NativeStack::set)
        .def("bypass", &NativeStack::bypass)
        .def("start", &NativeStack::start)
        .def("update", &NativeStack::update)
        .def("process", &NativeStack::process)
        .def("bake", &NativeStack::bake)
        .def("timings", [](const NativeStack& stack) {
            py::list out;
            for (const EffectTiming& t : stack.timings()) out.append(py::make_tuple(t.name, t.frames, t.seconds));
            return out;
        });

    m.def("catalogue_json", &catalogueJson);
}

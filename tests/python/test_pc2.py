"""PC2 files as the Mesh Cache modifier reads them: the header's bytes, then
the samples one after the other; written whole or not at all."""
import os
import struct

import numpy as np
import pytest

import generic_fx as fx


def test_header_samples_and_replacement(tmp_path):
    frames = (np.arange(2 * 3 * 3, dtype=np.float32) - 4.5).reshape(2, 3, 3)
    frames[1, 2, 1] = -0.0
    path = tmp_path / "fx" / "Cube.pc2"
    fx.write_pc2(path, frames, start=5, rate=0.5)
    data = path.read_bytes()
    assert data[:32] == b"POINTCACHE2\0" + struct.pack("<iiffi", 1, 3, 5.0, 0.5, 2)
    assert data[32:] == frames.tobytes() and len(data) == 32 + 2 * 3 * 3 * 4
    back, start, rate = fx.read_pc2(path)
    assert (start, rate) == (5.0, 0.5) and back.view(np.uint32).tolist() == frames.view(np.uint32).tolist()

    fx.write_pc2(path, frames[:, :0])  # a mesh of no points
    assert fx.read_pc2(path)[0].shape == (2, 0, 3)
    fx.write_pc2(path, frames[:1])  # a second bake replaces the first, leaving nothing beside it
    assert path.stat().st_size == 32 + 36 and os.listdir(path.parent) == ["Cube.pc2"]
    for bad, error, message in [(dict(frames=frames.astype(np.float64)), TypeError, "frames: expected a float32"),
                                (dict(frames=frames[0]), ValueError, r"frames: expected shape \(F, N, 3\)"),
                                (dict(frames=frames[:, ::2]), ValueError, "frames: expected a C-contiguous"),
                                (dict(start=float("nan")), ValueError, "start: nan is not a finite float"),
                                (dict(rate=0), ValueError, "rate: 0.0 is not a positive number"),
                                (dict(rate="1"), TypeError, "rate: expected a number, got str")]:
        with pytest.raises(error, match=message):
            fx.write_pc2(path, **{"frames": frames, **bad})
    assert path.stat().st_size == 32 + 36 and os.listdir(path.parent) == ["Cube.pc2"]
    with pytest.raises(IsADirectoryError, match="fx: a folder, not a PC2 file"):
        fx.write_pc2(path.parent, frames)
    assert os.listdir(tmp_path) == ["fx"]
    # Through a link the file it names is replaced; a device stays a device.
    (tmp_path / "link.pc2").symlink_to(path)
    fx.write_pc2(tmp_path / "link.pc2", frames)
    assert (tmp_path / "link.pc2").is_symlink() and fx.read_pc2(path)[0].shape == (2, 3, 3)
    fx.write_pc2(os.devnull, frames)
    assert not os.path.isfile(os.devnull)

    with pytest.raises(TypeError, match="path: expected a file's path, got int"):
        fx.read_pc2(999)  # never a file descriptor
    # A header that promises more than the file holds, up to counts no memory could hold.
    for tail, header, message in [(data[32:-4], (3, 2), "2 samples of 3 points announced, 5 points held"),
                                  (data[32:], (2**31 - 1,) * 2, "2147483647 samples of 2147483647 points announced")]:
        path.write_bytes(b"POINTCACHE2\0" + struct.pack("<iiffi", 1, header[0], 5.0, 0.5, header[1]) + tail)
        with pytest.raises(ValueError, match=message):
            fx.read_pc2(path)

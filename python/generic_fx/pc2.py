"""PC2 point caches, the format Blender's Mesh Cache modifier (and 3ds Max,
Maya and Houdini) play: a 32-byte header ("POINTCACHE2" and a zero byte,
version 1, point count, start frame, sample rate, sample count, little-endian)
then every sample's points as float32 x, y, z."""
import os
import struct

from .arguments import float_number, path as file_path

HEADER = struct.Struct("<12siiffi")
SIGNATURE = b"POINTCACHE2\0"


def write_pc2(path, frames, start=0.0, rate=1.0):
    """Writes frames, float32 (F, N, 3), as a PC2 file; the file is replaced
    whole or not at all (through a symbolic link, the file it names; a device
    or a pipe is written straight). start: the first sample's frame; rate:
    frames between samples."""
    import stat
    import tempfile

    import numpy as np

    if not isinstance(frames, np.ndarray) or frames.dtype != np.float32:
        raise TypeError(f"frames: expected a float32 numpy array, got {getattr(frames, 'dtype', type(frames).__name__)}")
    if frames.ndim != 3 or frames.shape[2] != 3:
        raise ValueError(f"frames: expected shape (F, N, 3), got {frames.shape}")
    if not frames.flags.c_contiguous:
        raise ValueError("frames: expected a C-contiguous array (numpy.ascontiguousarray makes a copy)")
    path = file_path(path, "path")
    start, rate = float_number(start, "start"), float_number(rate, "rate")
    if rate <= 0:
        raise ValueError(f"rate: {rate} is not a positive number of frames between samples")
    if os.path.isdir(path):
        raise IsADirectoryError(f"{path}: a folder, not a PC2 file")

    def write(out):
        out.write(HEADER.pack(SIGNATURE, 1, frames.shape[1], start, rate, frames.shape[0]))
        out.write(frames)  # its bytes as they lie, none for a mesh of no points

    if os.path.exists(path) and not stat.S_ISREG(os.stat(path).st_mode):
        with open(path, "wb") as out:  # renamed over, a device would become a file
            write(out)
        return
    path = os.path.realpath(path)
    folder = os.path.dirname(path)
    os.makedirs(folder, exist_ok=True)
    handle, temporary = tempfile.mkstemp(prefix=".pc2-", dir=folder)
    try:
        with os.fdopen(handle, "wb") as out:
            write(out)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temporary, 0o666 & ~umask)  # as open() would make it, not mkstemp's 0600
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def read_pc2(path):
    """(frames float32 (F, N, 3), start, rate) of a PC2 file; ValueError for a
    file that is not one, or shorter than its header says."""
    import numpy as np

    with open(file_path(path, "path"), "rb") as f:
        head = f.read(HEADER.size)
        if len(head) < HEADER.size or head[:12] != SIGNATURE:
            raise ValueError(f"{path}: not a PC2 point cache")
        _, version, points, start, rate, samples = HEADER.unpack(head)
        if version != 1 or points < 0 or samples < 0:
            raise ValueError(f"{path}: PC2 version {version} with {points} points and {samples} samples")
        # The header's counts are weighed against the bytes there before anything is allocated for them.
        held = max(os.fstat(f.fileno()).st_size - HEADER.size, 0) // 12
        if samples * points > held:
            raise ValueError(f"{path}: {samples} samples of {points} points announced, {held} points held")
        frames = np.fromfile(f, dtype="<f4", count=samples * points * 3)
    return frames.astype(np.float32, copy=False).reshape(samples, points, 3), start, rate

# The package carries a built module and the plug-in: a wheel for this
# platform and this Python, not a pure one.
from setuptools import setup
from setuptools.dist import Distribution


class BinaryDistribution(Distribution):
    def has_ext_modules(self):
        return True


setup(distclass=BinaryDistribution)

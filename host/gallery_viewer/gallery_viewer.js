// The gallery's live viewers: every element with data-model plays that
// model's animated glTF, orbitable with the mouse (drag to turn, right-drag
// to pan, the wheel to zoom). Pages opened from a folder (file://) cannot
// fetch files, so each model comes as a script beside the page,
// NAME.glb.js, that hands its bytes to fxModel. One WebGL renderer draws
// every viewer in its element's rectangle, through a canvas over the page.
import * as THREE from 'three';
import { GLTFLoader } from 'three/examples/jsm/loaders/GLTFLoader.js';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

const canvas = document.createElement('canvas');
canvas.style.cssText = 'position:fixed;left:0;top:0;width:100%;height:100%;pointer-events:none;z-index:1';
const renderer = new THREE.WebGLRenderer({ canvas, antialias: true, alpha: true });
renderer.setPixelRatio(window.devicePixelRatio);
renderer.setScissorTest(true);
const views = [];
let last = performance.now();
// The seconds of animation drawn so far: scripts that capture the viewers wait on it, not on the clock,
// since a slow machine may draw a frame a second.
window.fxPlayed = 0;

function addView(element, gltf) {
  const scene = new THREE.Scene();
  scene.add(new THREE.HemisphereLight(0xffffff, 0x404050, 2.5));
  const sun = new THREE.DirectionalLight(0xffffff, 2.0);
  sun.position.set(1, 2, 3);
  scene.add(sun, gltf.scene);
  // Framed as fxhost frames it: the scene as loaded (not how far its frames reach), from three-quarters.
  gltf.scene.updateMatrixWorld(true);
  const box = new THREE.Box3();
  gltf.scene.traverse(o => {
    if (o.geometry) box.union(new THREE.Box3().setFromBufferAttribute(o.geometry.attributes.position).applyMatrix4(o.matrixWorld));
  });
  const centre = box.getCenter(new THREE.Vector3());
  const radius = Math.max(box.getSize(new THREE.Vector3()).length() / 2, 1e-6);
  const camera = new THREE.PerspectiveCamera(30, 1, radius / 100, radius * 100);
  camera.position.copy(centre).add(new THREE.Vector3(1, 0.7, 1.3).setLength(radius * 2.6));
  const controls = new OrbitControls(camera, element);
  controls.target.copy(centre);
  controls.update();
  const mixer = new THREE.AnimationMixer(gltf.scene);
  for (const clip of gltf.animations) mixer.clipAction(clip).play();
  views.push({ element, scene, camera, mixer });
  element.dataset.loaded = 'true';
}

function frame(now) {
  const seconds = (now - last) / 1000;
  last = now;
  const width = canvas.clientWidth, height = canvas.clientHeight;
  renderer.setSize(width, height, false);
  renderer.setScissor(0, 0, width, height);
  renderer.setClearColor(0x000000, 0);
  renderer.clear();
  for (const v of views) {
    v.mixer.update(seconds);
    const r = v.element.getBoundingClientRect();
    if (r.bottom < 0 || r.top > height || r.right < 0 || r.left > width) continue;
    renderer.setViewport(r.left, height - r.bottom, r.width, r.height);
    renderer.setScissor(r.left, height - r.bottom, r.width, r.height);
    v.camera.aspect = r.width / r.height;
    v.camera.updateProjectionMatrix();
    renderer.render(v.scene, v.camera);
  }
  window.fxPlayed += seconds;
  requestAnimationFrame(frame);
}

window.fxModel = (name, base64) => {
  const element = document.querySelector(`[data-model="${name}"]`);
  const bytes = Uint8Array.fromBase64 ? Uint8Array.fromBase64(base64)
                                      : Uint8Array.from(atob(base64), c => c.charCodeAt(0));
  new GLTFLoader().parse(bytes.buffer, '', gltf => addView(element, gltf),
                         error => { element.textContent = `cannot show ${name}: ${error}`; });
};

document.addEventListener('DOMContentLoaded', () => {
  document.body.appendChild(canvas);
  requestAnimationFrame(frame);
});

// Opens the demo's gallery from its folder in headless Chromium (Debian's, driven by playwright-core) and
// waits until every live viewer has its model. Prints JSON: the milliseconds that took, the JavaScript
// heap, the memory of the page's renderer and of the GPU process (from /proc), and the viewers' names; writes
// screenshots of each viewer, then a quarter and 0.4 s of animation later: OUT/NAME.1.png, NAME.2.png, NAME.3.png.
// usage: node gallery_browser.js PLAYWRIGHT_CORE_DIR INDEX_HTML OUT
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require(process.argv[2]);
const [page, out] = process.argv.slice(3);

// The memory of the processes started with this profile, in MB: their proportional set size (shared
// pages split between the processes that map them), the page's renderer (the largest) and the GPU process.
function memory(profile) {
  const found = { page: 0, gpu: 0 };
  for (const pid of fs.readdirSync('/proc').filter(p => /^\d+$/.test(p))) {
    try {
      const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      const type = /--type=(renderer|gpu-process)/.exec(command);
      if (!command.includes(profile) || !type) continue;
      const mb = Number(/Pss:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8'))[1]) / 1024;
      if (type[1] === 'renderer') found.page = Math.max(found.page, mb);
      else found.gpu += mb;
    } catch (e) { /* the process ended */ }
  }
  return found;
}

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fxhost-gallery-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, viewport: { width: 1280, height: 900 },
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
  });
  try {
    // The page's animation clock is this script's: every frame is stamped with window.fxClock (ms), which
    // only the shots below move. On a slow machine a frame's own time, a whole number of display
    // intervals, can be exactly one loop of a model (5/6 s is 50 intervals), and every shot looks the same.
    await context.addInitScript(() => {
      const request = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = callback => request(() => {
        if (window.fxClock === undefined) window.fxClock = performance.now();
        callback(window.fxClock);
      });
    });
    const tab = context.pages()[0] || await context.newPage();
    const errors = [];
    tab.on('pageerror', e => errors.push(e.message));
    const start = Date.now();
    await tab.goto('file://' + path.resolve(page));
    await tab.waitForFunction(() => {
      const viewers = [...document.querySelectorAll('[data-model]')];
      return viewers.length > 0 && viewers.every(v => v.dataset.loaded);
    }, null, { timeout: 60000, polling: 100 });
    const ms = Date.now() - start;
    const viewers = await tab.$$eval('[data-model]', vs => vs.map(v => v.dataset.model));
    await tab.waitForTimeout(200);  // drawn at least once
    const played = () => tab.evaluate(() => window.fxPlayed);
    const advance = async (seconds) => {
      const target = (await played()) + seconds;
      await tab.evaluate(s => { window.fxClock += 1000 * s; }, seconds);
      await tab.waitForFunction(t => window.fxPlayed >= t - 1e-9, target, { timeout: 30000, polling: 50 });
    };
    for (const name of viewers) {
      const viewer = await tab.$(`[data-model="${name}"]`);
      await viewer.screenshot({ path: path.join(out, `${name}.1.png`) });
      // Neither step nor their sum is a whole loop (the demo's models play 5/6 s).
      await advance(0.25);
      await viewer.screenshot({ path: path.join(out, `${name}.2.png`) });
      await advance(0.15);
      await viewer.screenshot({ path: path.join(out, `${name}.3.png`) });
    }
    const cdp = await context.newCDPSession(tab);
    await cdp.send('Performance.enable');
    const heap = (await cdp.send('Performance.getMetrics')).metrics.find(m => m.name === 'JSHeapUsedSize').value;
    console.log(JSON.stringify({ ms, heapMB: heap / 2 ** 20, ...memory(profile), viewers, errors }));
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
})().catch(e => { console.error(e); process.exit(1); });

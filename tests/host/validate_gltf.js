// Runs the Khronos glTF-Validator on each file: prints its counts and every
// issue above a hint, and exits 1 when any file has an error.
// usage: node validate_gltf.js VALIDATOR_MODULE_DIR FILE...
const fs = require("fs");
const validator = require(process.argv[2]);

async function main() {
  let failed = false;
  for (const file of process.argv.slice(3)) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {maxIssues: 50});
    const i = report.issues;
    console.log(`${file}: ${i.numErrors} errors, ${i.numWarnings} warnings, ${i.numInfos} infos, ${i.numHints} hints`);
    for (const m of i.messages.filter((m) => m.severity < 2)) console.log(`  ${m.code} ${m.pointer || ""}: ${m.message}`);
    failed = failed || i.numErrors > 0;
  }
  process.exit(failed ? 1 : 0);
}
main().catch((e) => { console.error(e); process.exit(1); });

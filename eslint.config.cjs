// The JavaScript's rules (eslint, pinned in package-lock.json; CI's format
// stage runs it with NODE_PATH at the installed tools). Each file is
// checked against the globals of where it runs.
'use strict';
const js = require('@eslint/js');
const globals = require('globals');

// The page's rooms are joined into one script (web/build_script.js): each
// defines one class the others use.
const ROOMS = [
  'OutputView',
  'AnswerField',
  'FinalKey',
  'PageControls',
  'PageFrame',
  'PictureCanvas',
  'AnswerPicture',
  'ReportLinks',
  'ProgramModule',
];
const rooms = Object.fromEntries(ROOMS.map((name) => [name, 'readonly']));

module.exports = [
  js.configs.recommended,
  {
    rules: {
      eqeqeq: 'error',
      'prefer-const': 'error',
      'no-unused-vars': ['error', { args: 'none', caughtErrors: 'none' }],
    },
  },
  {
    files: ['web/*.js'],
    ignores: ['web/beam_io.js', 'web/sw.js', 'web/build_*.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        ...rooms,
        beamPageLogic: 'readonly',
        beamNoteLogic: 'readonly',
        beamPictureLogic: 'readonly',
        createBeam: 'readonly',
        module: 'readonly',
      },
    },
    rules: {
      'no-redeclare': ['error', { builtinGlobals: false }],
      'no-unused-vars': [
        'error',
        {
          args: 'none',
          varsIgnorePattern: `^(${ROOMS.join('|')}|beamPageLogic|beamNoteLogic|beamPictureLogic)$`,
        },
      ],
    },
  },
  {
    // Linked into beam.js by emscripten, in its library's terms.
    files: ['web/beam_io.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        mergeInto: 'readonly',
        LibraryManager: 'readonly',
        Module: 'readonly',
        HEAPU8: 'readonly',
        HEAPU32: 'readonly',
        Asyncify: 'readonly',
        ExitStatus: 'readonly',
        beamResume: 'readonly',
      },
    },
  },
  {
    files: ['web/sw.js'],
    languageOptions: { sourceType: 'script', globals: globals.serviceworker },
  },
  {
    // Node programs; the tests and the benchmark also hand functions to the
    // browser to run there.
    files: ['web/build_*.js', 'tests/web/*.js', 'bench/*.js', 'eslint.config.cjs'],
    languageOptions: { sourceType: 'commonjs', globals: { ...globals.node, ...globals.browser } },
  },
];

"""Which x86 instructions the processors of the shipped programs' time lack,
as capstone decodes them (Intel syntax, prefixes in the mnemonic).

What a 486 has is listed, not what it lacks, so that an instruction nobody
thought of counts as missing rather than passing unseen."""
import re

I486 = set("""
    aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call
    cbw cdq clc cld cli clts cmc cmp cmpsb cmpsd cmpsw cmpxchg cwd cwde daa das
    dec div enter hlt idiv imul in inc insb insd insw int int3 into invd invlpg
    iret iretd ja jae jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp jns jo
    jp js lahf lar lcall lds lea leave les lfs lgdt lgs lidt ljmp lldt lmsw
    lodsb lodsd lodsw loop loope loopne lsl lss ltr mov movsb movsd movsw movsx
    movzx mul neg nop not or out outsb outsd outsw pop popal popaw popf popfd
    push pushal pushaw pushf pushfd rcl rcr ret retf rol ror sahf sal sar sbb
    scasb scasd scasw seta setae setb setbe sete setg setge setl setle setne
    setno setnp setns seto setp sets sgdt shl shld shr shrd sidt sldt smsw stc
    std sti stosb stosd stosw str sub test verr verw wait wbinvd xadd xchg
    xlatb xor
    f2xm1 fabs fadd faddp fbld fbstp fchs fcom fcomp fcompp fcos fdecstp fdiv
    fdivp fdivr fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul
    fincstp fist fistp fisub fisubr fld fld1 fldcw fldenv fldl2e fldl2t fldlg2
    fldln2 fldpi fldz fmul fmulp fnclex fninit fnop fnsave fnstcw fnstenv
    fnstsw fpatan fprem fprem1 fptan frndint frstor fscale fsin fsincos fsqrt
    fst fstp fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp fxam fxch
    fxtract fyl2x fyl2xp1
    """.split())
# Encodings that every x86 executes, under the names of later processors:
# ud2 raises the invalid-opcode fault it is there for; pause is rep nop, and
# tzcnt rep bsf, which GCC emits only where bsf gives the same result.
I486 |= {"ud2", "pause", "tzcnt"}

# What a Pentium adds. A late 486 has CPUID too, so it is only ever noted.
PENTIUM = I486 | {"cpuid", "cmpxchg8b", "rdtsc", "rdmsr", "wrmsr", "rsm"}
MODELS = {"i486": I486, "pentium": PENTIUM}
NOTED = "CPUID"

FAMILIES = [
    ("CMOVcc", lambda m: m.startswith("cmov")),
    ("FCMOVcc", lambda m: m.startswith("fcmov")),
    ("FCOMI/FUCOMI(P)", lambda m: m in ("fcomi", "fcomip", "fucomi", "fucomip")),
    ("CMPXCHG8B", lambda m: m == "cmpxchg8b"),
    ("RDTSC", lambda m: m in ("rdtsc", "rdtscp")),
    ("RDMSR/WRMSR", lambda m: m in ("rdmsr", "wrmsr")),
    ("SYSENTER/SYSEXIT", lambda m: m in ("sysenter", "sysexit")),
    ("MMX/SSE", lambda m: m in VECTOR_STATE or m.startswith("prefetch")),
    ("CPUID", lambda m: m == "cpuid"),
]
VECTOR_REGISTER = re.compile(r"\b[xyz]?mm\d+\b")
# MMX and SSE instructions that name no vector register.
VECTOR_STATE = {"emms", "femms", "ldmxcsr", "stmxcsr", "fxsave", "fxrstor", "sfence",
                "lfence", "mfence", "movnti", "clflush"}


def lacking(model, mnemonic, operands, code):
    """The family of an instruction that the processor model lacks (a name
    from FAMILIES, "multi-byte NOP" or "other: <mnemonic>"), or None when it
    has it. code: the instruction's bytes."""
    name = mnemonic.split()[-1]  # without lock or rep
    if VECTOR_REGISTER.search(operands):
        return "MMX/SSE"
    if name == "nop" and b"\x0f" in code:  # 0F 1F: not 90, nor 66 90
        return "multi-byte NOP"
    if name in MODELS[model]:
        return None
    return next((family for family, test in FAMILIES if test(name)), "other: " + name)
